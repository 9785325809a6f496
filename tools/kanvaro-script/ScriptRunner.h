#pragma once
// Runs parsed script steps against a headless host, stopping at the first step that fails.
#include <functional>
#include <string>
#include <vector>

#include "Foundation/Result.h"
#include "ScriptParser.h"

namespace host {
class HeadlessHost;
}

namespace script {

// Waits for the application's work on other threads (files written in the background). The host's
// clock is simulated, so a wait step can end before such work has; steps that look at files call
// this first.
using Settle = std::function<void()>;

// Runs every step in order; the error ("NAME:LINE: TEXT: why") names the first failed step.
fnd::Status runScript(const std::vector<Step>& steps, host::HeadlessHost& host, const std::string& scriptName,
                      const Settle& settle = {});

// Reads (at most a megabyte), parses and runs a script file.
fnd::Status runScriptFile(const std::string& path, host::HeadlessHost& host, const Settle& settle = {});

} // namespace script
