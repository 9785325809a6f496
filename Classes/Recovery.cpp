#include "Recovery.h"

#include <chrono>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include "Foundation/KeyedArchiver.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"

namespace recovery {

namespace fs = std::filesystem;

namespace {

fnd::Status writeOrThrow(const Snapshot& snapshot, const std::string& folder)
{
    if (!snapshot.painting)
        return fnd::Error{"there is no painting to keep"};
    if (auto made = fnd::makeDirectories(folder); !made)
        return made.failure();
    const auto started = std::chrono::steady_clock::now();
    const std::string path = copyPath(folder, snapshot.title);
    auto archive = fnd::KeyedArchiver::writeArchive(*snapshot.painting, path, snapshot.maxBytes);
    if (!archive)
        return archive.failure();
    if (auto committed = archive->commit(); !committed)
        return committed;
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    fnd::log("kept a recovery copy of " + snapshot.title + " (" + std::to_string(ms) + " ms)");
    return {};
}

bool isCopy(const fs::directory_entry& entry)
{
    std::error_code error;
    return entry.is_regular_file(error) && entry.path().extension() == ".art";
}

// Removes a copy, then the photo files it may name, and its lock file; logs what cannot be removed.
void removeCopyAndLock(const std::string& copy)
{
    std::error_code error;
    if (!fs::remove(copy, error) && error)
        fnd::log("cannot remove the recovery file " + copy + ": " + error.message());
    else
        removePhotosOf(fs::path(copy).parent_path().string(), titleOf(copy));
    if (!fs::remove(lockPath(copy), error) && error)
        fnd::log("cannot remove the recovery file " + lockPath(copy) + ": " + error.message());
}

} // namespace

std::string folder() { return fnd::documentsPath() + "/" + kFolderName; }

std::string copyPath(const std::string& folder, const std::string& title) { return folder + "/" + title + ".art"; }

std::string lockPath(const std::string& copyPath) { return copyPath + ".lock"; }

fnd::Status write(const Snapshot& snapshot, const std::string& folder)
{
    // On the writer's thread nothing may escape: running out of memory fails this copy, the copy
    // written before stays, and the next copy asked for tries again.
    try {
        return writeOrThrow(snapshot, folder);
    } catch (const std::bad_alloc&) {
        return fnd::outOfMemory("cannot keep a recovery copy of " + snapshot.title);
    }
}

void removeCopyOf(const std::string& title)
{
    const std::string path = copyPath(folder(), title);
    if (!fnd::FileLock::isHeld(lockPath(path))) // else another running Kanvaro's
        removeCopyAndLock(path);
}

std::optional<std::string> findCopy()
{
    std::error_code error;
    std::optional<fs::path> newest;
    fs::file_time_type newestTime{};
    for (fs::directory_iterator it(folder(), error), end; !error && it != end; it.increment(error)) {
        if (!isCopy(*it) || fnd::FileLock::isHeld(lockPath(it->path().string())))
            continue;
        std::error_code timeError;
        const auto time = it->last_write_time(timeError);
        if (!newest || time > newestTime) {
            newest = it->path();
            newestTime = time;
        }
    }
    if (!newest)
        return std::nullopt;
    return newest->string();
}

fnd::Result<std::string> setAside(const std::string& path)
{
    std::error_code error;
    std::string target = path + kUnreadableSuffix;
    for (int n = 2; fs::exists(target, error); ++n)
        target = path + "." + std::to_string(n) + kUnreadableSuffix;
    fs::rename(path, target, error);
    if (error)
        return fnd::Error{"cannot set aside " + path + ": " + error.message()};
    fs::remove(lockPath(path), error);
    return target;
}

std::string titleOf(const std::string& path) { return fs::path(path).stem().string(); }

Keeper::Keeper() : m_thread([this](const std::stop_token& stop) { run(stop); }) {}

Keeper::~Keeper()
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting.reset();
    }
    m_thread.request_stop();
    m_changed.notify_all();
    m_thread.join();
}

bool Keeper::keep(Snapshot snapshot, const std::string& folder)
{
    const std::string path = recovery::copyPath(folder, snapshot.title);
    if (path != m_copyPath || !m_lock) {
        m_lock.reset();
        m_copyPath = path;
        if (fnd::makeDirectories(folder))
            m_lock = fnd::FileLock::tryLock(lockPath(path));
        if (!m_lock) {
            fnd::log("no recovery copy of " + snapshot.title + ": another Kanvaro keeps one, or " + folder
                     + " cannot be written");
            return false;
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_waiting = std::move(snapshot);
        m_waitingFolder = folder;
        m_waitingNumber = ++m_handed;
    }
    m_changed.notify_all();
    return true;
}

fnd::Result<std::string> Keeper::keepAndWait(Snapshot snapshot, const std::string& folder)
{
    const std::string title = snapshot.title;
    if (!keep(std::move(snapshot), folder))
        return fnd::Error{"another Kanvaro keeps a copy of " + title + ", or " + folder + " cannot be written"};
    std::unique_lock lock(m_mutex);
    const std::uint64_t mine = m_handed;
    m_changed.wait(lock, [&] { return m_lastWritten >= mine; });
    if (!m_lastWrite)
        return m_lastWrite.failure();
    return m_copyPath;
}

std::string Keeper::copyPath() const { return m_copyPath; }

void Keeper::discard()
{
    {
        std::unique_lock lock(m_mutex);
        m_waiting.reset();
        m_changed.wait(lock, [this] { return !m_writing; });
        m_photo = {}; // removed with the copy below
    }
    if (!m_lock)
        return;
    removeCopyAndLock(m_copyPath);
    m_lock.reset();
}

void Keeper::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_waiting.has_value() && !m_writing; });
}

void Keeper::run(const std::stop_token& stop)
{
    std::unique_lock lock(m_mutex);
    while (m_changed.wait(lock, stop, [this] { return m_waiting.has_value(); })) {
        std::optional<Snapshot> snapshot = std::exchange(m_waiting, std::nullopt);
        const std::string target = m_waitingFolder;
        const std::uint64_t number = m_waitingNumber;
        m_writing = true;
        lock.unlock();
        fnd::Status written = write(*snapshot, target, m_photo);
        if (!written)
            fnd::log("cannot keep a recovery copy: " + written.error());
        snapshot.reset();
        lock.lock();
        m_lastWrite = std::move(written);
        m_lastWritten = number;
        m_writing = false;
        m_changed.notify_all();
    }
}

} // namespace recovery
