#pragma once
// Where the application keeps its files: the documents folder (paintings), the pictures folder
// (the photo library) and the exports folder (paintings saved as photos). Each has a default from
// the desktop's conventions and can be overridden once at start-up (command-line options, tests).
#include <string>

#include "Foundation/Result.h"

namespace fnd {

// $XDG_DATA_HOME/kanvaro/Documents, or ~/.local/share/kanvaro/Documents when XDG_DATA_HOME is
// unset or not absolute.
std::string defaultDocumentsPath();
// The desktop's pictures folder as `xdg-user-dir PICTURES` reports it, or ~/Pictures when that
// tool is missing or names no folder of its own (it answers the home folder then).
std::string defaultPicturesPath();
// The user's home folder: $HOME, else the password database, else ".".
std::string homePath();

// How a person knows the folder: "~/Pictures/Kanvaro" for one inside the home folder, the whole
// path otherwise.
std::string folderForPeople(const std::string& folder);

// The folders in use: the override when one was set, otherwise the default. The exports folder
// defaults to a "Kanvaro" folder inside the pictures folder in use.
std::string documentsPath();
std::string picturesPath();
std::string exportsPath();
// Overrides; an empty string restores the default.
void setDocumentsPath(const std::string& path);
void setPicturesPath(const std::string& path);
void setExportsPath(const std::string& path);

// The command-line options that name the folders: "--documents", "--pictures", "--exports".
// Sets the folder and returns true when `option` is one of them.
bool setPathFromOption(const std::string& option, const std::string& value);
// Fixes the folders in use (each default is worked out once) and creates any that are missing;
// false (and a log line) when the documents or the pictures folder cannot be made. An exports
// folder that cannot be made is only logged: exporting says so when it is tried.
bool preparePaths();

// Creates the folder and any missing parents. Fails (with a log line) when it cannot be made or
// something that is not a folder is in the way.
Status makeDirectories(const std::string& path);

} // namespace fnd
