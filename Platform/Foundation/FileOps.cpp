#include "Foundation/FileOps.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <optional>
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

std::string describeErrno(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
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
bool fillTemporary(UniqueFd& fd, const std::string& temporary, const ContentProducer& produce)
{
    bool writeFailed = false;
    const ChunkWriter write = [&](const uint8_t* data, size_t size) {
        if (!writeFailed && !writeAll(fd.get(), data, size)) {
            log(describeErrno("Could not write", temporary));
            writeFailed = true;
        }
        return !writeFailed;
    };
    if (!produce(write) || writeFailed) {
        if (!writeFailed)
            log("Writing " + temporary + " was abandoned");
        return false;
    }
    if (::fchmod(fd.get(), 0644) != 0 || ::fsync(fd.get()) != 0 || !fd.close()) {
        log(describeErrno("Could not flush", temporary));
        return false;
    }
    return true;
}

// Writes a complete temporary file beside `path`; its name, or nothing when it failed.
std::optional<std::string> writeTemporaryBeside(const std::string& path, const ContentProducer& produce)
{
    std::string temporary = path + ".tmp-XXXXXX";
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) {
        log(describeErrno("Could not create a temporary file for", path));
        return std::nullopt;
    }
    if (!fillTemporary(fd, temporary, produce)) {
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return temporary;
}

} // namespace

bool writeFileAtomically(const std::string& path, const ContentProducer& produce)
{
    const auto temporary = writeTemporaryBeside(path, produce);
    if (!temporary)
        return false;
    if (::rename(temporary->c_str(), path.c_str()) != 0) {
        log(describeErrno("Could not replace", path));
        ::unlink(temporary->c_str());
        return false;
    }
    syncFolder(folderOf(path));
    return true;
}

NewFileResult writeNewFileAtomically(const std::string& path, const ContentProducer& produce)
{
    const auto temporary = writeTemporaryBeside(path, produce);
    if (!temporary)
        return NewFileResult::Failed;
    // A hard link fails with EEXIST instead of replacing, so two writers never clobber each other.
    const bool linked = ::link(temporary->c_str(), path.c_str()) == 0;
    const int linkError = errno;
    ::unlink(temporary->c_str());
    if (!linked) {
        if (linkError == EEXIST)
            return NewFileResult::Exists;
        errno = linkError;
        log(describeErrno("Could not create", path));
        return NewFileResult::Failed;
    }
    syncFolder(folderOf(path));
    return NewFileResult::Written;
}

bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes)
{
    return writeFileAtomically(path, [bytes](const ChunkWriter& write) {
        return write(bytes.data(), bytes.size());
    });
}

Result<std::vector<uint8_t>> readFile(const std::string& path, uint64_t maxBytes)
{
    // Non-blocking, so that opening a pipe with no writer returns at once and is then refused as
    // not regular; regular files ignore the flag.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd)
        return Error{describeErrno("Could not open", path)};
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return Error{describeErrno("Could not examine", path)};
    if (!S_ISREG(info.st_mode))
        return Error{path + " is not a regular file"};
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size > maxBytes)
        return Error{path + " is larger than " + std::to_string(maxBytes) + " bytes"};
    std::vector<uint8_t> bytes(size);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Error{describeErrno("Could not read", path)};
        if (got == 0)
            return Error{path + " became shorter while it was read"};
        done += static_cast<size_t>(got);
    }
    return bytes;
}

} // namespace fnd
