#include "Foundation/Paths.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

#include "Foundation/FileOps.h"
#include "Foundation/Log.h"

namespace fnd {

namespace {

struct PipeCloser {
    void operator()(FILE* pipe) const { pclose(pipe); }
};
using Pipe = std::unique_ptr<FILE, PipeCloser>;

struct Overrides {
    std::string documents;
    std::string pictures;
    std::string exports;
};

Overrides& overrides()
{
    static Overrides paths;
    return paths;
}

// An environment variable that holds an absolute path, or "".
std::string absoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return {};
    return value;
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The first line the command prints, without its line break; "" when it cannot run.
std::string firstLineOf(const char* command)
{
    Pipe pipe(popen(command, "r"));
    if (!pipe)
        return {};
    std::string line;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) {
        line += buffer;
        if (!line.empty() && line.back() == '\n')
            break;
        if (line.size() > 4096)
            return {}; // no real folder name is that long
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

Status makeDirectoriesOrSay(const std::string& path)
{
    if (path.empty())
        return Error{"cannot create a folder with an empty name", "No folder name"};
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error)
        return Error{"cannot create folder " + path + ": " + error.message(), reasonForPerson(error.message(), path)};
    if (!std::filesystem::is_directory(path, error))
        return Error{"cannot use " + path + " as a folder: something else is in the way",
                     reasonForPerson("Not a folder", path)};
    return {};
}

} // namespace

std::string homePath()
{
    std::string home = absoluteEnv("HOME");
    if (!home.empty())
        return withoutTrailingSlashes(home);
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return withoutTrailingSlashes(entry->pw_dir);
    return ".";
}

std::string defaultDocumentsPath()
{
    std::string data = absoluteEnv("XDG_DATA_HOME");
    if (data.empty())
        data = homePath() + "/.local/share";
    return withoutTrailingSlashes(data) + "/kanvaro/Documents";
}

std::string defaultPicturesPath()
{
    std::string home = homePath();
    std::string answer = withoutTrailingSlashes(firstLineOf("xdg-user-dir PICTURES 2>/dev/null"));
    // The tool answers the home folder for a folder that is not configured.
    if (answer.empty() || answer[0] != '/' || answer == home)
        return home + "/Pictures";
    return answer;
}

std::string documentsPath()
{
    const std::string& set = overrides().documents;
    return set.empty() ? defaultDocumentsPath() : set;
}

std::string picturesPath()
{
    const std::string& set = overrides().pictures;
    return set.empty() ? defaultPicturesPath() : set;
}

std::string exportsPath()
{
    const std::string& set = overrides().exports;
    return set.empty() ? picturesPath() + "/Kanvaro" : set;
}

void setDocumentsPath(const std::string& path) { overrides().documents = withoutTrailingSlashes(path); }

void setPicturesPath(const std::string& path) { overrides().pictures = withoutTrailingSlashes(path); }

void setExportsPath(const std::string& path) { overrides().exports = withoutTrailingSlashes(path); }

std::string folderForPeople(const std::string& folder)
{
    const std::string home = homePath();
    if (!home.empty() && home != "/" && folder.rfind(home + "/", 0) == 0)
        return "~" + folder.substr(home.size());
    return folder;
}

bool setPathFromOption(const std::string& option, const std::string& value)
{
    if (option == "--documents")
        setDocumentsPath(value);
    else if (option == "--pictures")
        setPicturesPath(value);
    else if (option == "--exports")
        setExportsPath(value);
    else
        return false;
    return true;
}

bool preparePaths()
{
    setDocumentsPath(documentsPath());
    setPicturesPath(picturesPath());
    setExportsPath(exportsPath());
    // Without the exports folder everything but Export to Photos works; the export says why.
    (void)makeDirectories(exportsPath());
    return makeDirectories(documentsPath()) && makeDirectories(picturesPath());
}

Status makeDirectories(const std::string& path)
{
    Status made = makeDirectoriesOrSay(path);
    if (!made)
        log(made.error());
    return made;
}

} // namespace fnd
