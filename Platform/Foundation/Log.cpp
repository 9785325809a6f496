#include "Foundation/Log.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace fnd {

namespace {
LogSink& currentSink()
{
    static LogSink sink;
    return sink;
}

// Background work (the recovery writer) logs too: one line at a time, and never while the sink
// is being replaced. Recursive, so a sink may itself log.
std::recursive_mutex& logMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}
} // namespace

void log(const std::string& message)
{
    std::lock_guard lock(logMutex());
    if (auto& sink = currentSink()) {
        sink(message);
        return;
    }
    std::fprintf(stderr, "Kanvaro: %s\n", message.c_str());
}

LogSink setLogSink(LogSink sink)
{
    std::lock_guard lock(logMutex());
    return std::exchange(currentSink(), std::move(sink));
}

} // namespace fnd
