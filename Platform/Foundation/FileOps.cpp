#include "Foundation/FileOps.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "Foundation/Log.h"

namespace fnd {

namespace {

// Owns one POSIX file descriptor.
class UniqueFd {
public:
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&&) = delete;
    ~UniqueFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // Closes now, reporting the error a deferred write may only show here.
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

constexpr std::string_view kTemporaryMarker = ".tmp-";
constexpr size_t kTemporarySuffixLength = 6; // the XXXXXX mkostemp fills in

bool isTemporaryName(std::string_view name)
{
    const size_t tail = kTemporaryMarker.size() + kTemporarySuffixLength;
    if (name.size() <= tail || name.substr(name.size() - tail, kTemporaryMarker.size()) != kTemporaryMarker)
        return false;
    const std::string_view suffix = name.substr(name.size() - kTemporarySuffixLength);
    return std::all_of(suffix.begin(), suffix.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// The log names the file acted on; the person hears of the file they know (`shownPath`: the file a
// temporary one is to replace).
Error describeErrno(const std::string& what, const std::string& path, const std::string& shownPath = {})
{
    const int number = errno;
    return {what + " " + path + ": " + std::strerror(number),
            reasonForPerson(std::strerror(number), shownPath.empty() ? path : shownPath)};
}

bool writeAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a failure here does not undo the replacement, so it is ignored.
void syncFolder(const std::string& folder)
{
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd)
        ::fsync(fd.get());
}

// Writes the content into the open temporary file and flushes it to disk.
Status fillTemporary(UniqueFd& fd, const std::string& temporary, const std::string& path,
                     const ContentProducer& produce)
{
    std::optional<Error> writeError;
    const ChunkWriter write = [&](const uint8_t* data, size_t size) {
        if (!writeError && !writeAll(fd.get(), data, size))
            writeError = describeErrno("Could not write", temporary, path);
        return !writeError;
    };
    if (!produce(write) || writeError)
        return writeError ? *writeError : Error{"Writing " + temporary + " was abandoned"};
    if (::fchmod(fd.get(), 0644) != 0 || ::fsync(fd.get()) != 0 || !fd.close())
        return describeErrno("Could not flush", temporary, path);
    return {};
}

struct WriteFaults {
    std::mutex mutex;
    std::map<std::string, int> errors; // by folder, absolute and normal
};

WriteFaults& writeFaults()
{
    static WriteFaults faults;
    return faults;
}

std::string normalFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(folder, error).lexically_normal();
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// The errno a fault set for the file's folder stands for, or 0.
int injectedWriteError(const std::string& path)
{
    WriteFaults& faults = writeFaults();
    std::lock_guard lock(faults.mutex);
    if (faults.errors.empty())
        return 0;
    auto found = faults.errors.find(normalFolder(folderOf(path)));
    return found == faults.errors.end() ? 0 : found->second;
}

} // namespace

void ignoreFileSizeSignal()
{
    static const bool done = [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            ::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)done;
}

std::string reasonForPerson(const std::string& what, const std::string& path)
{
    std::string name = path;
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    const auto slash = name.rfind('/');
    if (slash != std::string::npos && slash + 1 < name.size())
        name = "…/" + name.substr(slash + 1); // "…/name": the file, not the whole path
    return name.empty() ? what : what + " (" + name + ")";
}

std::string describeSize(uint64_t bytes)
{
    constexpr uint64_t kMiB = uint64_t{1} << 20;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

Result<PendingFile> PendingFile::write(const std::string& path, const ContentProducer& produce)
{
    ignoreFileSizeSignal();
    std::string temporary = path + std::string(kTemporaryMarker) + std::string(kTemporarySuffixLength, 'X');
    if (const int injected = injectedWriteError(path)) {
        errno = injected;
        return describeErrno("Could not create a temporary file for", path);
    }
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd)
        return describeErrno("Could not create a temporary file for", path);
    // A producer that runs out of memory fails the write like a full disk: nothing is left behind.
    Status filled = outOfMemory("Could not write " + path);
    try {
        filled = fillTemporary(fd, temporary, path, produce);
    } catch (const std::bad_alloc&) {
    }
    if (!filled) {
        ::unlink(temporary.c_str());
        return filled.failure();
    }
    return PendingFile(path, std::move(temporary));
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_temporary(std::exchange(other.m_temporary, {}))
{
}

PendingFile::~PendingFile()
{
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
}

Status PendingFile::commit()
{
    KANVARO_ASSERT(!m_temporary.empty());
    const std::string temporary = std::exchange(m_temporary, {});
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        Error error = describeErrno("Could not replace", m_path);
        ::unlink(temporary.c_str());
        return error;
    }
    syncFolder(folderOf(m_path));
    return {};
}

Status writeFileAtomically(const std::string& path, const ContentProducer& produce)
{
    auto pending = PendingFile::write(path, produce);
    Status status = pending ? pending->commit() : Status(pending.failure());
    if (!status)
        log(status.error());
    return status;
}

Result<NewFileResult> writeNewFileAtomically(const std::string& path, const ContentProducer& produce)
{
    auto pending = PendingFile::write(path, produce);
    if (!pending) {
        log(pending.error());
        return pending.failure();
    }
    // A hard link fails with EEXIST instead of replacing, so two writers never clobber each other.
    const std::string& temporary = pending->temporaryPath();
    const bool linked = ::link(temporary.c_str(), path.c_str()) == 0;
    const int linkError = errno;
    if (!linked) {
        if (linkError == EEXIST)
            return NewFileResult::Exists;
        errno = linkError;
        Error error = describeErrno("Could not create", path);
        log(error.message);
        return error;
    }
    syncFolder(folderOf(path));
    return NewFileResult::Written; // the pending temporary is removed as it goes
}

Status writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes)
{
    return writeFileAtomically(path, [bytes](const ChunkWriter& write) { return write(bytes.data(), bytes.size()); });
}

int removeStaleTemporaries(const std::string& folder, std::chrono::seconds minimumAge)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const auto cutoff = fs::file_time_type::clock::now() - minimumAge;
    int removed = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::directory_entry& entry = *it;
        std::error_code entryError;
        if (!isTemporaryName(entry.path().filename().string())
            || !fs::is_regular_file(entry.symlink_status(entryError)))
            continue;
        const auto changed = entry.last_write_time(entryError);
        if (!entryError && changed < cutoff && fs::remove(entry.path(), entryError)) {
            log("Removed the stale temporary file " + entry.path().string());
            ++removed;
        }
    }
    return removed;
}

void setWriteFault(const std::string& folder, int error)
{
    WriteFaults& faults = writeFaults();
    std::lock_guard lock(faults.mutex);
    if (error == 0)
        faults.errors.erase(normalFolder(folder));
    else
        faults.errors[normalFolder(folder)] = error;
}

Result<std::vector<uint8_t>> readFile(const std::string& path, uint64_t maxBytes)
{
    // Non-blocking, so that a named pipe or a device is refused below instead of waiting for a
    // writer; a regular file is then read in the ordinary blocking way.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd)
        return describeErrno("Could not open", path);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return describeErrno("Could not examine", path);
    if (!S_ISREG(info.st_mode))
        return Error{path + " is not a regular file", reasonForPerson("Not a regular file", path)};
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return describeErrno("Could not read", path);
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size > maxBytes)
        return Error{path + " is larger than " + std::to_string(maxBytes) + " bytes",
                     reasonForPerson("Larger than " + describeSize(maxBytes), path)};
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return outOfMemory("Could not read " + path);
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return describeErrno("Could not read", path);
        if (got == 0)
            return Error{path + " became shorter while it was read",
                         reasonForPerson("Changed while it was read", path)};
        done += static_cast<size_t>(got);
    }
    return bytes;
}

} // namespace fnd
