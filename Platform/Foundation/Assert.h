#pragma once
// Programming errors stop the program through one macro that names the function, the source
// file, the line and the failed condition. Outside input is never checked with it.

namespace fnd {
[[noreturn]] void assertionFailed(const char* function, const char* file, int line, const char* condition);
}

#define KANVARO_ASSERT(condition)                                             \
    do {                                                                      \
        if (!(condition)) [[unlikely]]                                        \
            ::fnd::assertionFailed(__func__, __FILE__, __LINE__, #condition); \
    } while (false)
