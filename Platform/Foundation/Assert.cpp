#include "Foundation/Assert.h"

#include <cstdio>
#include <cstdlib>

namespace fnd {

void assertionFailed(const char* function, const char* file, int line, const char* condition)
{
    std::fprintf(stderr, "*** Assertion failure in %s, %s:%d: %s\n", function, file, line, condition);
    std::fflush(stderr);
    std::abort();
}

} // namespace fnd
