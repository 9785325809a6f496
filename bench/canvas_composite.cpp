// Compositing a 1024 x 768 canvas with both stroke layers and a texture, as the screen does for
// every frame of a stroke: the plain way (every layer every time) and through the canvas's cache.
#include <random>

#include "BenchSupport.h"
#include "Canvas.h"
#include "Foundation/Bundle.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// The composite reads the painting bitmap, both stroke layers and the texture layer.
constexpr std::size_t kLayerBytes = 4 * static_cast<std::size_t>(kWidth) * kHeight * 4;

void scribble(gfx::Layer& layer, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> pos(0, 1), unit(0, 1);
    auto& ctx = layer.context();
    for (int i = 0; i < 300; ++i) {
        ctx.setFillColor(
            {static_cast<float>(unit(rng)), static_cast<float>(unit(rng)), static_cast<float>(unit(rng)), 1});
        double r = 10 + 60 * unit(rng);
        ctx.fillEllipse({pos(rng) * kWidth - r, pos(rng) * kHeight - r, 2 * r, 2 * r});
    }
}

std::unique_ptr<Canvas> paintedCanvas()
{
    fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
    auto canvas = Canvas::initWithSize(kWidth, kHeight);
    canvas->setTextureName("Canvas");
    scribble(canvas->curStrokeLayer(), 1);
    canvas->setCurStrokeOpacity(0.7f);
    canvas->saveUndoState();
    scribble(canvas->curStrokeLayer(), 2);
    canvas->setCurStrokeOpacity(0.5f);
    return canvas;
}

void BM_CompositePlain(benchmark::State& state)
{
    auto canvas = paintedCanvas();
    auto screen = gfx::BitmapContext::create(kWidth, kHeight);
    gfx::Rect all = canvas->bounds();
    bench::runAgainstMemcpy(state, kLayerBytes, [&] {
        gfx::GStateSaver saver(*screen);
        screen->setFillColor(canvas->backgroundColor());
        screen->fillRect(all);
        screen->drawBitmap(all, canvas->paintingContext());
        screen->setAlpha(canvas->prevStrokeOpacity());
        screen->drawLayer(all, canvas->prevStrokeLayer());
        screen->setAlpha(canvas->curStrokeOpacity());
        screen->drawLayer(all, canvas->curStrokeLayer());
        screen->setAlpha(Canvas::kTextureAlpha);
        screen->setBlendMode(gfx::BlendMode::SourceAtop);
        screen->drawLayer(all, *canvas->textureLayer());
        benchmark::DoNotOptimize(screen->constData());
    });
}
BENCHMARK(BM_CompositePlain)->Unit(benchmark::kMillisecond);

void BM_CompositeCached(benchmark::State& state)
{
    auto canvas = paintedCanvas();
    auto screen = gfx::BitmapContext::create(kWidth, kHeight);
    canvas->drawComposite(*screen, canvas->bounds()); // the cache is built once per snapshot
    bench::runAgainstMemcpy(state, kLayerBytes, [&] {
        canvas->drawComposite(*screen, canvas->bounds());
        benchmark::DoNotOptimize(screen->constData());
    });
}
BENCHMARK(BM_CompositeCached)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
