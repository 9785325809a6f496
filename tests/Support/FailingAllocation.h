#pragma once
// Allocation failure on demand, for tests of what runs out of memory. Linked into a program (or
// preloaded into one with LD_PRELOAD), the FailingAllocation library replaces malloc, calloc,
// realloc, the aligned allocators and every form of operator new; each allocation of
// kLargeAllocation bytes or more is counted, and the N-th one can be made to fail (nullptr, or
// std::bad_alloc from a throwing operator new), as when memory runs out.
//
// A preloaded library takes N from the environment: KANVARO_FAIL_ALLOCATION=N fails the N-th
// large allocation of the run, and the process says "failed large allocation N" on standard
// error as it exits when that allocation was made.
#include <cstddef>

namespace failing_allocation {

inline constexpr std::size_t kLargeAllocation = 4096;
inline constexpr const char* kEnvironmentVariable = "KANVARO_FAIL_ALLOCATION";
inline constexpr const char* kFiredMessage = "failed large allocation";

// Starts counting again from zero; `n` > 0 makes the n-th large allocation from now fail, 0 fails none.
void failNth(long n);
// Large allocations counted since the last failNth.
long largeAllocations();
// True when the allocation failNth asked for has failed.
bool fired();

} // namespace failing_allocation
