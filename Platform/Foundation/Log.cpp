#include "Foundation/Log.h"

#include <cstdio>
#include <utility>

namespace fnd {

namespace {
LogSink& currentSink()
{
    static LogSink sink;
    return sink;
}
} // namespace

void log(const std::string& message)
{
    if (auto& sink = currentSink()) {
        sink(message);
        return;
    }
    std::fprintf(stderr, "Kanvaro: %s\n", message.c_str());
}

LogSink setLogSink(LogSink sink) { return std::exchange(currentSink(), std::move(sink)); }

} // namespace fnd
