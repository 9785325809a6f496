#include "Foundation/FileIdentity.h"

#include <sstream>
#include <sys/stat.h>

namespace fnd {

std::string FileIdentity::toString() const
{
    return std::to_string(device) + " " + std::to_string(inode) + " " + std::to_string(size) + " "
           + std::to_string(modifiedNanoseconds);
}

std::optional<FileIdentity> FileIdentity::fromString(const std::string& text)
{
    std::istringstream in(text);
    FileIdentity identity;
    std::string rest;
    if (!(in >> identity.device >> identity.inode >> identity.size >> identity.modifiedNanoseconds) || (in >> rest))
        return std::nullopt;
    return identity;
}

std::optional<FileIdentity> fileIdentity(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                        static_cast<std::uint64_t>(info.st_size),
                        static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNanosecondsPerSecond + info.st_mtim.tv_nsec};
}

} // namespace fnd
