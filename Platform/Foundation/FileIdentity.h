#pragma once
// What tells one version of a file from another: an atomic save puts a new file in place (a new
// file number) and sets its size and modification time. A document keeps the identity of the file
// it was read from, so that it never writes over a file someone else saved meanwhile.
#include <cstdint>
#include <optional>
#include <string>

namespace fnd {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;

    // "device inode size nanoseconds", and back; nothing for text in another form.
    std::string toString() const;
    static std::optional<FileIdentity> fromString(const std::string& text);
};

// The identity of the regular file at `path` (symbolic links followed); nothing when there is none.
std::optional<FileIdentity> fileIdentity(const std::string& path);

} // namespace fnd
