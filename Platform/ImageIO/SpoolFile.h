#pragma once
// A scratch file with no name, in a chosen folder: data too large to keep in memory is appended
// to it and read back later. It is unlinked as soon as it is made, so it vanishes with its owner
// or with the process, whatever happens.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Foundation/Result.h"

namespace imageio::detail {

class SpoolFile {
public:
    // A new empty file on the file system of `folder`.
    static fnd::Result<SpoolFile> create(const std::string& folder);

    SpoolFile(SpoolFile&& other) noexcept;
    SpoolFile& operator=(SpoolFile&&) = delete;
    ~SpoolFile();

    fnd::Status append(const std::uint8_t* data, std::size_t size);
    std::uint64_t size() const { return m_size; }
    // Reads `size` bytes from `offset` (within what was appended) into `out`.
    fnd::Status read(std::uint64_t offset, std::uint8_t* out, std::size_t size) const;

private:
    explicit SpoolFile(int fd) : m_fd(fd) {}

    int m_fd;
    std::uint64_t m_size = 0;
};

} // namespace imageio::detail
