#pragma once
// Shared by every benchmark: the `vs_memcpy` counter, a benchmark's time over the time of a memcpy
// of the same number of bytes measured in the same run; where a benchmark also reports
// `vs_memcpy_cpu`, the same ratio in this thread's processor time, which other work on a busy
// machine disturbs far less than the wall time.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <vector>

namespace bench {

// The processor time of the calling thread, as a std::chrono clock.
struct ThreadCpuClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<ThreadCpuClock>;
    static constexpr bool is_steady = true;
    static time_point now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(static_cast<rep>(t.tv_sec) * 1000000000 + t.tv_nsec));
    }
};

// Median time in seconds of one memcpy of `bytes` bytes between two buffers that were touched
// first, so page faults are not counted.
template <class Clock = std::chrono::steady_clock> double memcpySeconds(std::size_t bytes)
{
    const std::size_t size = std::max<std::size_t>(bytes, 1);
    std::vector<unsigned char> from(size, 1);
    std::vector<unsigned char> to(size, 0);
    // Small copies are too quick to time one by one: time batches that last a while.
    const int perBatch = static_cast<int>(std::clamp<std::size_t>((1u << 24) / size, 1, 100000));
    std::vector<double> samples;
    for (int sample = 0; sample < 15; ++sample) {
        const auto start = Clock::now();
        for (int i = 0; i < perBatch; ++i) {
            std::memcpy(to.data(), from.data(), size);
            benchmark::ClobberMemory();
        }
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        samples.push_back(elapsed.count() / perBatch);
    }
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

// Median time in seconds of copying a `rows` x `rowBytes` box between two surfaces whose rows are
// `stride` bytes apart, the box wandering over the surfaces as brush dabs do: the memory traffic
// of writing that box in place, which a dab cannot beat.
template <class Clock = std::chrono::steady_clock>
double memcpyRowsSeconds(int rows, std::size_t rowBytes, std::size_t stride, int surfaceRows)
{
    rows = std::clamp(rows, 1, surfaceRows);
    rowBytes = std::clamp<std::size_t>(rowBytes, 1, stride);
    std::vector<unsigned char> from(stride * static_cast<std::size_t>(surfaceRows), 1);
    std::vector<unsigned char> to(from.size(), 0);
    const std::size_t maxColumn = stride - rowBytes;
    const int maxRow = surfaceRows - rows;
    std::vector<double> samples;
    int position = 0;
    for (int sample = 0; sample < 15; ++sample) {
        constexpr int perBatch = 64;
        const auto start = Clock::now();
        for (int i = 0; i < perBatch; ++i, ++position) {
            const std::size_t column = maxColumn ? (static_cast<std::size_t>(position) * 148) % maxColumn / 4 * 4 : 0;
            const int top = maxRow ? (position * 53) % maxRow : 0;
            for (int r = 0; r < rows; ++r) {
                const std::size_t offset = static_cast<std::size_t>(top + r) * stride + column;
                std::memcpy(to.data() + offset, from.data() + offset, rowBytes);
            }
            benchmark::ClobberMemory();
        }
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        samples.push_back(elapsed.count() / perBatch);
    }
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

// Runs `body` as the benchmark's timing loop and sets state.counters["vs_memcpy"] to the wall
// time per iteration over `baselineSeconds`, as a plain ratio.
template <class Body> void runAgainstBaseline(benchmark::State& state, double baselineSeconds, Body&& body)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        body();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double perIteration =
        elapsed.count() / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["vs_memcpy"] = perIteration / baselineSeconds;
}

// Both ratios: vs_memcpy in wall time as above, and vs_memcpy_cpu in this thread's processor
// time over `baseline.cpu`, a memcpy timed with ThreadCpuClock.
struct Baseline {
    double wall, cpu;
};
template <class Body> void runAgainstBaselines(benchmark::State& state, Baseline baseline, Body&& body)
{
    const auto cpuStart = ThreadCpuClock::now();
    runAgainstBaseline(state, baseline.wall, std::forward<Body>(body));
    const std::chrono::duration<double> cpu = ThreadCpuClock::now() - cpuStart;
    state.counters["vs_memcpy_cpu"] =
        cpu.count() / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1)) / baseline.cpu;
}

// The same against a memcpy of `bytes` contiguous bytes (memcpySeconds).
template <class Body> void runAgainstMemcpy(benchmark::State& state, std::size_t bytes, Body&& body)
{
    runAgainstBaseline(state, memcpySeconds(bytes), std::forward<Body>(body));
}

} // namespace bench
