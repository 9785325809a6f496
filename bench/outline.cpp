// The blueprint outline of a 1024 x 768 photo. vs_memcpy (and vs_memcpy_cpu) are over a memcpy of
// the photo's pixels.
#include "BenchSupport.h"
#include "RawImage.h"

#include <benchmark/benchmark.h>

namespace {

// A photo-like block: smooth gradients with noise, so the differences are neither all zero nor
// all large.
std::unique_ptr<RawImage> photo1024x768()
{
    auto image = RawImage::initWithWidth(1024, 768);
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(image->pixels()->size());
    std::uint8_t* p = pixels->data();
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x, p += 4) {
            const unsigned noise = static_cast<unsigned>(x * 2654435761u + y * 40503u) >> 27;
            p[0] = static_cast<std::uint8_t>(x / 4 + noise);
            p[1] = static_cast<std::uint8_t>(y / 3 + noise);
            p[2] = static_cast<std::uint8_t>((x + y) / 8 + noise);
            p[3] = 255;
        }
    image->setPixels(std::move(pixels));
    return image;
}

void BM_Outline1024x768(benchmark::State& state)
{
    auto image = photo1024x768();
    const std::size_t bytes = static_cast<std::size_t>(image->rb()) * image->height();
    const bench::Baseline baseline{bench::memcpySeconds(bytes), bench::memcpySeconds<bench::ThreadCpuClock>(bytes)};
    bench::runAgainstBaselines(state, baseline, [&] {
        gfx::ImageMaskRef mask = image->createCompatibleImageOutline();
        benchmark::DoNotOptimize(mask.get());
    });
}
BENCHMARK(BM_Outline1024x768)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
