// The automatic painter's whole plan for a 1024 x 768 photo, painting its own copy of the canvas
// included, in each medium (the argument is the medium's row). The photo is the coffee sample
// stretched to 1024 x 768, so strokes meet real edges and flat areas.
#include <benchmark/benchmark.h>

#include "AutoPainter.h"
#include "Canvas.h"
#include "ImageIO/Decoder.h"
#include "MediumValues.h"
#include "RawImage.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

std::shared_ptr<const RawImage> photo1024x768()
{
    auto decoded = imageio::decodeFile(KANVARO_SOURCE_DIR "/Resources/SamplePhotos/coffee.png");
    if (!decoded)
        return nullptr;
    auto source = RawImage::initWithUIImage(decoded.value());
    auto image = RawImage::initWithWidth(kWidth, kHeight);
    if (!source || !image)
        return nullptr;
    // A raw image's pixels are shared read-only: fill a new block and hand it over.
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(*image->pixels());
    std::uint8_t* p = pixels->data();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x, p += 4)
            source->pixelAtX(x * source->width() / kWidth, y * source->height() / kHeight).Store(p);
    image->setPixels(std::move(pixels));
    return image;
}

void BM_PlanWholePainting(benchmark::State& state)
{
    const auto photo = photo1024x768();
    auto blank = Canvas::initWithPhotoSize(kWidth, kHeight);
    if (!photo || !blank) {
        state.SkipWithError("no photo or canvas");
        return;
    }
    const int medium = static_cast<int>(state.range(0));
    state.SetLabel(g_arMediumValues[medium].name);
    std::size_t strokes = 0;
    for (auto _ : state) {
        auto painter = AutoPainter::create(photo, CopyCanvasForAutoPainting(*blank), {medium, 1});
        strokes = 0;
        while (auto group = painter->planNextGroup())
            strokes += group->strokes.size();
        benchmark::DoNotOptimize(strokes);
    }
    state.counters["strokes"] = static_cast<double>(strokes);
}
BENCHMARK(BM_PlanWholePainting)
    ->DenseRange(0, NUM_MEDIUM_VALUES - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace

BENCHMARK_MAIN();
