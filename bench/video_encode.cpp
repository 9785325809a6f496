// A time-lapse's encoding: 600 frames (20 seconds at 30 a second) of 1080 x 810 through
// imageio::VideoWriter into an MP4 file, the frames made like a time-lapse's: a photo fading to
// paper for two seconds, then soft dabs in the photo's colours, a few more every frame. Only
// addFrame and finish are timed. Reports ms_per_frame and the file's size; the pixel conversion
// alone is measured too, fast and reference paths. cpu_ms_per_frame is this thread's processor
// time in addFrame, the figure to trust when other work shares the machine.
#include "BenchSupport.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/VideoWriter.h"
#include "ImageIO/YuvConversion.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr int kWidth = 1080;
constexpr int kHeight = 810;
constexpr int kFrames = 600;
constexpr int kFadeFrames = 60;
constexpr int kDabsPerFrame = 12;

using Pixels = std::vector<std::uint8_t>;

// The sample coffee photo stretched over the frame (nearest sample), as opaque BGRA bytes.
Pixels photoPixels()
{
    auto photo = imageio::decodeFile(KANVARO_SOURCE_DIR "/Resources/SamplePhotos/coffee.png");
    Pixels out(static_cast<std::size_t>(kWidth) * kHeight * 4, 0xFF);
    if (!photo)
        return out;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int sx = x * photo->width / kWidth, sy = y * photo->height / kHeight;
            const auto* from = photo->bytes->data() + static_cast<std::size_t>(sy) * photo->bytesPerRow + sx * 4;
            std::copy(from, from + 3, &out[(static_cast<std::size_t>(y) * kWidth + x) * 4]);
        }
    return out;
}

// Frame i of the fade: the photo mixed towards paper.
void fadeFrame(const Pixels& photo, Pixels& frame, int i)
{
    const int paper = i * 256 / kFadeFrames;
    for (std::size_t p = 0; p < frame.size(); p += 4)
        for (std::size_t c = 0; c < 3; ++c)
            frame[p + c] = static_cast<std::uint8_t>((photo[p + c] * (256 - paper) + 245 * paper) >> 8);
}

// One soft round dab in the photo's colour at its centre, laid source-over.
void layDab(const Pixels& photo, Pixels& frame, int cx, int cy, int radius)
{
    const std::uint8_t* colour = &photo[(static_cast<std::size_t>(cy) * kWidth + cx) * 4];
    for (int y = std::max(0, cy - radius); y < std::min(kHeight, cy + radius); ++y)
        for (int x = std::max(0, cx - radius); x < std::min(kWidth, cx + radius); ++x) {
            const double d = std::hypot(x - cx, y - cy) / radius;
            if (d >= 1.0)
                continue;
            const int cover = static_cast<int>(200 * (1.0 - d * d));
            std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * kWidth + x) * 4];
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>((colour[c] * cover + p[c] * (256 - cover)) >> 8);
        }
}

// This thread's processor time, which other programs on a busy machine do not inflate.
double threadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Frames are made between the timed calls; a stroke wanders across the canvas.
struct FrameMaker {
    Pixels photo = photoPixels();
    Pixels frame = Pixels(photo.size(), 0xFF);
    std::mt19937 random{11};
    double x = kWidth / 2.0, y = kHeight / 2.0, heading = 0;

    void make(int i)
    {
        if (i < kFadeFrames) {
            fadeFrame(photo, frame, i);
            return;
        }
        for (int d = 0; d < kDabsPerFrame; ++d) {
            heading += std::uniform_real_distribution<double>(-0.3, 0.3)(random);
            x = std::clamp(x + 6 * std::cos(heading), 0.0, kWidth - 1.0);
            y = std::clamp(y + 6 * std::sin(heading), 0.0, kHeight - 1.0);
            if (x <= 0 || y <= 0 || x >= kWidth - 1 || y >= kHeight - 1)
                heading += 2.0;
            layDab(photo, frame, static_cast<int>(x), static_cast<int>(y), 14);
        }
    }
};

void BM_EncodeTimeLapse(benchmark::State& state)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("bench-video-" + std::to_string(::getpid()) + ".mp4")).string();
    std::uintmax_t fileBytes = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        FrameMaker maker;
        auto writer = imageio::VideoWriter::open(path, kWidth, kHeight, 30);
        if (!writer) {
            state.SkipWithError(writer.error().c_str());
            return;
        }
        std::chrono::duration<double> spent{};
        cpuSeconds = 0;
        for (int i = 0; i < kFrames; ++i) {
            maker.make(i);
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadCpuSeconds();
            const auto added = writer->addFrame(maker.frame.data(), kWidth * 4);
            cpuSeconds += threadCpuSeconds() - cpuStart;
            spent += std::chrono::steady_clock::now() - start;
            if (!added) {
                state.SkipWithError(added.error().c_str());
                return;
            }
        }
        const auto start = std::chrono::steady_clock::now();
        const auto finished = writer->finish();
        spent += std::chrono::steady_clock::now() - start;
        if (!finished) {
            state.SkipWithError(finished.error().c_str());
            return;
        }
        state.SetIterationTime(spent.count());
        seconds = spent.count();
        fileBytes = std::filesystem::file_size(path);
    }
    std::filesystem::remove(path);
    state.counters["ms_per_frame"] = seconds * 1000.0 / kFrames;
    state.counters["cpu_ms_per_frame"] = cpuSeconds * 1000.0 / kFrames; // addFrame only
    state.counters["file_mib"] = static_cast<double>(fileBytes) / (1024.0 * 1024.0);
    state.counters["vs_memcpy"] =
        seconds / kFrames / bench::memcpySeconds(static_cast<std::size_t>(kWidth) * kHeight * 4);
}
BENCHMARK(BM_EncodeTimeLapse)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Argument: 1 = the fast path, 0 = the reference loops.
void BM_ConvertFrame(benchmark::State& state)
{
    const Pixels pixels = photoPixels();
    Pixels yuv(static_cast<std::size_t>(kWidth) * kHeight * 3 / 2);
    const std::size_t luma = static_cast<std::size_t>(kWidth) * kHeight;
    const imageio::YuvPlanes planes{yuv.data(), yuv.data() + luma, yuv.data() + luma + luma / 4, kWidth, kWidth / 2};
    bench::runAgainstMemcpy(state, pixels.size(), [&] {
        if (state.range(0))
            imageio::convertArgbToYuv420(pixels.data(), kWidth * 4, kWidth, kHeight, planes);
        else
            imageio::detail::convertArgbToYuv420Reference(pixels.data(), kWidth * 4, kWidth, kHeight, planes);
        benchmark::DoNotOptimize(yuv.data());
    });
    state.SetLabel(state.range(0) ? "fast" : "reference");
}
BENCHMARK(BM_ConvertFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
