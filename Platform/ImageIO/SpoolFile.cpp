#include "ImageIO/SpoolFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "Foundation/FileOps.h"

namespace imageio::detail {

namespace {

fnd::Error errnoError(const std::string& what) { return fnd::Error{what + ": " + std::strerror(errno)}; }

} // namespace

fnd::Result<SpoolFile> SpoolFile::create(const std::string& folder)
{
    // The same name pattern as atomic writes' temporaries, so the start-up sweep removes one that
    // a crash between making and unlinking left behind.
    fnd::ignoreFileSizeSignal();
    std::string name = folder + "/.spool.tmp-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return errnoError("Could not make a scratch file in " + folder);
    ::unlink(name.c_str());
    return SpoolFile(fd);
}

SpoolFile::SpoolFile(SpoolFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size) {}

SpoolFile::~SpoolFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

fnd::Status SpoolFile::append(const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(m_fd, data, size, static_cast<off_t>(m_size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return errnoError("Could not write a scratch file");
        data += written;
        size -= static_cast<std::size_t>(written);
        m_size += static_cast<std::uint64_t>(written);
    }
    return {};
}

fnd::Status SpoolFile::read(std::uint64_t offset, std::uint8_t* out, std::size_t size) const
{
    while (size > 0) {
        const ssize_t got = ::pread(m_fd, out, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errnoError("Could not read a scratch file");
        if (got == 0)
            return fnd::Error{"A scratch file ended early"};
        out += got;
        size -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return {};
}

} // namespace imageio::detail
