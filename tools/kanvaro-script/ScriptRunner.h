#pragma once
// Runs parsed script steps against a headless host, stopping at the first step that fails.
#include <string>
#include <vector>

#include "Foundation/Result.h"
#include "ScriptParser.h"

namespace host {
class HeadlessHost;
}

namespace script {

// Runs every step in order; the error ("NAME:LINE: TEXT: why") names the first failed step.
fnd::Status runScript(const std::vector<Step>& steps, host::HeadlessHost& host, const std::string& scriptName);

// Reads (at most a megabyte), parses and runs a script file.
fnd::Status runScriptFile(const std::string& path, host::HeadlessHost& host);

} // namespace script
