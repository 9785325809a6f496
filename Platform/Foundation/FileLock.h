#pragma once
// An exclusive advisory lock (flock) on a file, held while the object lives. The kernel lets it
// go when the process ends, however it ends, so a lock that nobody holds marks work left behind by
// a process that is gone, and one that is held marks work of a process still running.
#include <optional>
#include <string>

namespace fnd {

class FileLock {
public:
    // Opens (creating when missing) and locks `path`; nothing when another holder has it or the
    // file cannot be opened.
    static std::optional<FileLock> tryLock(const std::string& path);
    // True when someone holds a lock on `path` now (this process through another FileLock too).
    static bool isHeld(const std::string& path);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    const std::string& path() const { return m_path; }

private:
    FileLock(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

    int m_fd = -1;
    std::string m_path;
};

} // namespace fnd
