#include "Foundation/Bundle.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fnd {

namespace {

std::string& overridePath()
{
    static std::string path;
    return path;
}

std::string findResources()
{
    namespace fs = std::filesystem;
    if (const char* env = std::getenv("KANVARO_RESOURCES"); env && *env)
        return env;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        // Installed under a prefix: <prefix>/bin/prog with <prefix>/share/kanvaro/Resources.
        fs::path installed = exe.parent_path().parent_path() / "share" / "kanvaro" / "Resources";
        if (fs::is_directory(installed, ec))
            return installed.string();
        // Beside the program: <bin>/Resources; build tree: <build>/<dir>/prog with sources beside build/.
        for (fs::path dir = exe.parent_path(); !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
            if (fs::is_directory(dir / "Resources", ec))
                return (dir / "Resources").string();
            if (fs::is_directory(dir / ".." / "Resources", ec) && fs::exists(dir / ".." / "CMakeLists.txt", ec))
                return fs::weakly_canonical(dir / ".." / "Resources", ec).string();
        }
    }
    return "Resources";
}

} // namespace

const std::string& resourcePath()
{
    if (!overridePath().empty())
        return overridePath();
    static const std::string found = findResources();
    return found;
}

void setResourcePath(const std::string& path) { overridePath() = path; }

} // namespace fnd
