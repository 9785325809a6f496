// From a finger move to a finished frame: the window hands one touch move to the view under the
// finger, the view invalidates a 100 x 100 point square around it, and the window redraws that
// square into its 640 x 960 backing store (scale 2). The ratio is against a memcpy of the whole
// backing store, the cost of the dumbest possible "redraw everything" frame.
#include <memory>

#include "BenchSupport.h"
#include "Toolkit/Window.h"

namespace {

constexpr double kScale = 2;
constexpr std::size_t kBackingStoreBytes = 640u * 960u * 4u;

// Paints a square of colour where the finger is, as a brush does.
class SquareBrushView : public ui::View {
public:
    using View::View;
    void touchesMoved(const ui::TouchSet& touches, const ui::Event&) override
    {
        gfx::Point p = touches.anyObject()->locationInView(this);
        m_square = {p.x - 50, p.y - 50, 100, 100};
        setNeedsDisplayInRect(m_square);
    }
    void drawRect(gfx::BitmapContext& context, const gfx::Rect&) override
    {
        context.setFillColor({0.9f, 0.6f, 0.2f, 1});
        context.fillEllipse(m_square);
    }

private:
    gfx::Rect m_square;
};

void BM_TouchMoveToFrame(benchmark::State& state)
{
    ui::Window window({0, 0, 320, 480});
    window.setScale(kScale);
    auto view = std::make_shared<SquareBrushView>(gfx::Rect(0, 0, 320, 480));
    view->setBackgroundColor(gfx::Color::white());
    window.addSubview(view);
    window.display();
    window.touchDown(0, {100, 100}, 0);
    double t = 0;
    bool across = false;
    bench::runAgainstMemcpy(state, kBackingStoreBytes, [&] {
        across = !across;
        t += 1.0 / 60;
        window.touchMove(0, across ? gfx::Point{200, 300} : gfx::Point{120, 140}, t);
        benchmark::DoNotOptimize(window.display().size());
    });
    window.touchUp(0, {100, 100}, t);
}
BENCHMARK(BM_TouchMoveToFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
