#pragma once
// The application bundle's resource directory: `share/kanvaro/Resources` under the prefix an
// installed executable sits in (<prefix>/bin), else `Resources/` next to the running executable
// or a few levels up from it in a build tree (configuring links it into the tree's top), so a
// program runs from any working folder.
// KANVARO_RESOURCES overrides it (tests, tools).
#include <string>

namespace fnd {

// Absolute path of the resource directory, without a trailing slash. Never empty: when nothing is
// found it is "Resources" relative to the working directory, so lookups simply fail.
const std::string& resourcePath();

// Overrides the resource directory (tests); an empty string restores the search.
void setResourcePath(const std::string& path);

} // namespace fnd
