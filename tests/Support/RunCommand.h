#pragma once
// Runs a shell command for the tests that check our files with outside tools.
#include <stdio.h>

#include <string>
#include <utility>

namespace test_support {

// The command's standard output and its exit status as pclose reports it (-1 if it did not start).
inline std::pair<std::string, int> runCommand(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {"", -1};
    char buffer[4096];
    while (size_t got = ::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, got);
    return {output, ::pclose(pipe)};
}

inline bool haveTool(const std::string& name)
{
    return runCommand("command -v " + name + " >/dev/null 2>&1").second == 0;
}

} // namespace test_support
