// The replaced allocators of FailingAllocation.h. They hand every request to glibc's own
// allocator (its __libc_* entry points), so memory from either side can be freed by the other.
#include "Support/FailingAllocation.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <new>
#include <unistd.h>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace failing_allocation {
namespace {

constexpr long kUnread = -1;
std::atomic<long> g_failAt{kUnread}; // read from the environment at the first large allocation
std::atomic<long> g_counted{0};
std::atomic<bool> g_fired{false};
// Only the program's own allocations count: from main on (or from the first failNth). Libraries
// set themselves up before main, and some (GLib) abort there when memory runs out, as no program
// could help.
std::atomic<bool> g_counting{false};

bool shouldFail(std::size_t size)
{
    if (size < kLargeAllocation || !g_counting.load(std::memory_order_relaxed))
        return false;
    const long n = g_counted.fetch_add(1, std::memory_order_relaxed) + 1;
    long failAt = g_failAt.load(std::memory_order_relaxed);
    if (failAt == kUnread) {
        // Libraries allocate before any constructor of ours runs, so the environment is read here.
        const char* value = std::getenv(kEnvironmentVariable);
        long fromEnvironment = value ? std::atol(value) : 0;
        g_failAt.compare_exchange_strong(failAt, fromEnvironment);
        failAt = g_failAt.load();
    }
    if (n != failAt)
        return false;
    g_fired.store(true, std::memory_order_relaxed);
    return true;
}

void* allocate(std::size_t size, std::size_t alignment = 0)
{
    if (shouldFail(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return alignment ? __libc_memalign(alignment, size) : __libc_malloc(size);
}

void* allocateOrThrow(std::size_t size, std::size_t alignment = 0)
{
    void* pointer = allocate(size == 0 ? 1 : size, alignment);
    if (!pointer)
        throw std::bad_alloc();
    return pointer;
}

// A preloaded library says as the process exits that the allocation it was told to fail failed.
__attribute__((destructor)) void reportFailure()
{
    if (g_fired.load()) {
        char line[80];
        const int length = std::snprintf(line, sizeof line, "%s %ld\n", kFiredMessage, g_failAt.load());
        if (length > 0)
            (void)!::write(2, line, static_cast<std::size_t>(length));
    }
}

} // namespace

void failNth(long n)
{
    g_counting.store(true);
    g_failAt.store(0);
    g_fired.store(false);
    g_counted.store(0);
    g_failAt.store(n);
}

long largeAllocations() { return g_counted.load(); }

bool fired() { return g_fired.load(); }

} // namespace failing_allocation

namespace {

using MainFunction = int (*)(int, char**, char**);
MainFunction g_programMain = nullptr;

int countingMain(int argc, char** argv, char** environment)
{
    failing_allocation::g_counting.store(true);
    return g_programMain(argc, argv, environment);
}

} // namespace

// The C library's start calls main through this: the count begins as main does.
extern "C" int __libc_start_main(MainFunction main, int argc, char** argv, void (*init)(), void (*fini)(),
                                 void (*rtldFini)(), void* stackEnd)
{
    using Start = int (*)(MainFunction, int, char**, void (*)(), void (*)(), void (*)(), void*);
    const auto start = reinterpret_cast<Start>(::dlsym(RTLD_NEXT, "__libc_start_main"));
    g_programMain = main;
    return start(countingMain, argc, argv, init, fini, rtldFini, stackEnd);
}

using failing_allocation::allocate;
using failing_allocation::allocateOrThrow;

extern "C" {

void* malloc(std::size_t size) noexcept { return allocate(size); }

void free(void* pointer) noexcept { __libc_free(pointer); }

void* calloc(std::size_t count, std::size_t size) noexcept
{
    if (size != 0 && count > static_cast<std::size_t>(-1) / size) {
        errno = ENOMEM;
        return nullptr;
    }
    if (failing_allocation::shouldFail(count * size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size) noexcept
{
    if (failing_allocation::shouldFail(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_realloc(pointer, size);
}

void* memalign(std::size_t alignment, std::size_t size) noexcept { return allocate(size, alignment); }

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept { return allocate(size, alignment); }

int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept
{
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* pointer = allocate(size, alignment);
    if (!pointer)
        return ENOMEM;
    *out = pointer;
    return 0;
}

void* valloc(std::size_t size) noexcept { return allocate(size, static_cast<std::size_t>(::sysconf(_SC_PAGESIZE))); }

} // extern "C"

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size == 0 ? 1 : size); }
void* operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate(size == 0 ? 1 : size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate(size == 0 ? 1 : size, static_cast<std::size_t>(alignment));
}

void operator delete(void* pointer) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept { __libc_free(pointer); }
