// PNG encoding of a painting-like picture (soft strokes on transparency), comparing the SUB
// filter with per-row adaptive filtering at compression levels 1 to 3. Reports the file size.
#include "BenchSupport.h"
#include "ImageIO/Encoder.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Lays one soft premultiplied dab (alpha falling off to the rim) over the picture, source-over.
void layDab(std::vector<std::uint8_t>& pixels, int cx, int cy, int radius, const std::uint8_t bgr[3])
{
    for (int y = std::max(0, cy - radius); y < std::min(kHeight, cy + radius); ++y)
        for (int x = std::max(0, cx - radius); x < std::min(kWidth, cx + radius); ++x) {
            const double distance = std::hypot(x - cx, y - cy) / radius;
            if (distance >= 1.0)
                continue;
            const double coverage = 0.6 * (1.0 - distance * distance);
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4];
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<std::uint8_t>(bgr[i] * coverage + p[i] * (1.0 - coverage));
            p[3] = static_cast<std::uint8_t>(255 * coverage + p[3] * (1.0 - coverage));
        }
}

// A few hundred soft strokes of random colour on a clear background, premultiplied.
const std::vector<std::uint8_t>& paintingPixels()
{
    static const std::vector<std::uint8_t> pixels = [] {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kWidth) * kHeight * 4, 0);
        std::mt19937 random(2024);
        for (int dab = 0; dab < 300; ++dab) {
            const std::uint8_t bgr[3] = {static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                                         static_cast<std::uint8_t>(random())};
            layDab(bytes, static_cast<int>(random() % kWidth), static_cast<int>(random() % kHeight),
                   10 + static_cast<int>(random() % 60), bgr);
        }
        return bytes;
    }();
    return pixels;
}

// Arguments: compression level, 0 = SUB filter / 1 = adaptive (all filters).
void BM_EncodePainting(benchmark::State& state)
{
    const auto& pixels = paintingPixels();
    const imageio::PixelsView view{pixels.data(), kWidth, kHeight, kWidth * 4, true};
    const imageio::PngOptions options{static_cast<int>(state.range(0)), true,
                                      state.range(1) == 0 ? imageio::PngFilter::kSub : imageio::PngFilter::kAdaptive};
    std::size_t fileBytes = 0;
    bench::runAgainstMemcpy(state, pixels.size(), [&] {
        auto file = imageio::encodePng(view, options);
        fileBytes = file.ok() ? file->size() : 0;
        benchmark::DoNotOptimize(fileBytes);
    });
    state.counters["file_kib"] = static_cast<double>(fileBytes) / 1024.0;
    state.SetLabel(state.range(1) == 0 ? "sub" : "adaptive");
}
BENCHMARK(BM_EncodePainting)
    ->ArgsProduct({{1, 2, 3}, {0, 1}})
    ->ArgNames({"level", "adaptive"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
