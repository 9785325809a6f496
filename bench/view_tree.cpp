// One frame of a phone-screen view tree (320 x 480 points at scale 2, so a 640 x 960 backing
// store): a full redraw, and the redraw of one invalidated 100 x 100 point rectangle.
#include <cstdint>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "Graphics/Image.h"
#include "Toolkit/Window.h"

namespace {

constexpr int kScale = 2;
constexpr std::size_t kStoreBytes = 320 * kScale * 480 * kScale * 4;

// A view that shows a picture stretched over its bounds, as image views do.
class PictureView : public ui::View {
public:
    PictureView(const gfx::Rect& frame, gfx::ImageRef image) : View(frame), m_image(std::move(image)) {}
    void drawRect(gfx::BitmapContext& ctx, const gfx::Rect&) override { ctx.drawImage(bounds(), *m_image); }

private:
    gfx::ImageRef m_image;
};

gfx::ImageRef gradientImage(int w, int h)
{
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = bytes->data() + (static_cast<std::size_t>(y) * w + x) * 4;
            p[0] = static_cast<std::uint8_t>(x * 255 / w);
            p[1] = static_cast<std::uint8_t>(y * 255 / h);
            p[2] = 128;
            p[3] = 255;
        }
    }
    return gfx::Image::create(w, h, w * 4, gfx::Image::Alpha::Premultiplied, std::move(bytes));
}

// A screen like the painting screen: a full-size picture, bars, a panel of swatches, some
// translucent controls.
std::shared_ptr<ui::Window> phoneScreen()
{
    auto window = std::make_shared<ui::Window>();
    window->setScale(kScale);
    auto photo = gradientImage(320, 480);
    window->addSubview(std::make_shared<PictureView>(gfx::Rect(0, 0, 320, 480), photo));
    auto bar = std::make_shared<ui::View>(gfx::Rect(0, 0, 320, 44));
    bar->setBackgroundColor(gfx::Color{0, 0, 0, 0.6f});
    window->addSubview(bar);
    auto toolbar = std::make_shared<ui::View>(gfx::Rect(0, 436, 320, 44));
    toolbar->setBackgroundColor(gfx::Color{0, 0, 0, 0.6f});
    window->addSubview(toolbar);
    auto icon = gradientImage(30, 30);
    for (int i = 0; i < 5; ++i)
        toolbar->addSubview(std::make_shared<PictureView>(gfx::Rect(10 + i * 62, 7, 30, 30), icon));
    auto panel = std::make_shared<ui::View>(gfx::Rect(10, 300, 300, 120));
    panel->setBackgroundColor(gfx::Color{0.2f, 0.2f, 0.2f, 1});
    panel->setAlpha(0.9);
    panel->setClipsToBounds(true);
    window->addSubview(panel);
    for (int i = 0; i < 24; ++i) {
        auto swatch = std::make_shared<ui::View>(gfx::Rect(8 + (i % 8) * 36, 8 + (i / 8) * 36, 30, 30));
        swatch->setBackgroundColor(gfx::Color{(i % 3) / 2.0f, (i % 5) / 4.0f, (i % 7) / 6.0f, 1});
        panel->addSubview(swatch);
    }
    return window;
}

void BM_FullRedraw(benchmark::State& state)
{
    auto window = phoneScreen();
    bench::runAgainstMemcpy(state, kStoreBytes, [&] {
        window->setNeedsDisplay();
        benchmark::DoNotOptimize(window->display().data());
    });
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

void BM_InvalidatedRectRedraw(benchmark::State& state)
{
    auto window = phoneScreen();
    window->display();
    const gfx::Rect dirty(100, 200, 100, 100);
    window->setNeedsDisplayInRect(dirty);
    const auto& drawn = window->display();
    if (drawn.size() != 1 || drawn[0] != gfx::IntRect{200, 400, 200, 200}) {
        state.SkipWithError("the redraw went beyond the invalidated rectangle");
        return;
    }
    bench::runAgainstMemcpy(state, 100 * kScale * 100 * kScale * 4, [&] {
        window->setNeedsDisplayInRect(dirty);
        benchmark::DoNotOptimize(window->display().data());
    });
}
BENCHMARK(BM_InvalidatedRectRedraw)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
