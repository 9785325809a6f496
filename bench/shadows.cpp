// A shadowed control at scale 2 (a rounded 120 x 44 point button, blur 3, offset 0,2) against the
// same fill without a shadow. vs_memcpy compares each with a memcpy of the rows the shadowed fill
// can touch on a 640 x 960 backing store: the shadow works over that region only.
#include "BenchSupport.h"
#include "Graphics/BitmapContext.h"

namespace {

constexpr double kScale = 2;
const gfx::Rect kButton(100, 200, 120, 44);
constexpr double kBlur = 3;

double regionCopySeconds()
{
    const int margin = static_cast<int>(3 * kBlur * kScale);
    const int rows = static_cast<int>(kButton.height() * kScale) + 2 * margin;
    const std::size_t rowBytes = static_cast<std::size_t>(kButton.width() * kScale + 2 * margin) * 4;
    return bench::memcpyRowsSeconds(rows, rowBytes, 640 * 4, 960);
}

void drawButton(gfx::BitmapContext& ctx, bool shadow)
{
    gfx::GStateSaver saver(ctx);
    if (shadow)
        ctx.setShadow({0, 2}, kBlur, gfx::Color::black().withAlpha(0.5f));
    ctx.setFillColor({0.3f, 0.45f, 0.8f, 1});
    ctx.fillPath(gfx::Path::roundedRect(kButton, 8));
}

void BM_RoundedRect(benchmark::State& state)
{
    auto ctx = gfx::BitmapContext::create(640, 960);
    ctx->scale(kScale, kScale);
    const bool shadow = state.range(0) != 0;
    bench::runAgainstBaseline(state, regionCopySeconds(), [&] { drawButton(*ctx, shadow); });
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_RoundedRect)->ArgName("shadow")->Arg(0)->Arg(1);

BENCHMARK_MAIN();
