#pragma once
// The system log: one line per message on standard error, prefixed "Kanvaro: ". Tests can
// capture the lines to check that a failure was reported. Any thread may log.
#include <functional>
#include <string>

namespace fnd {

void log(const std::string& message);

// Replaces where log lines go (nullptr restores standard error). Returns the previous sink.
using LogSink = std::function<void(const std::string&)>;
LogSink setLogSink(LogSink sink);

} // namespace fnd
