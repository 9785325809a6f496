#include "SampleStroke.h"

#include <cmath>
#include <cstdlib>

#include "BrushTool.h"
#include "Canvas.h"
#include "Foundation/Clock.h"
#include "Foundation/RunLoop.h"
#include "Toolkit/Touch.h"
#include "Toolkit/View.h"

namespace mediumpictures {

namespace {

constexpr int kMoves = 48;            // touch moves along the curve
constexpr double kAirbrushRest = 1.0; // seconds the finger rests at the middle (airbrush)

// The finger's path: a gentle S-curve across the strip, t from 0 to 1.
gfx::Point curvePoint(double t, double width, double height, double margin)
{
    const double x = margin + t * (width - 2 * margin);
    const double swing = std::max(0.0, height / 2 - margin);
    return {x, height / 2 - swing * std::sin(t * 2 * M_PI)};
}

// Moves one finger through the path, as the toolkit would deliver it.
void strokeAlongCurve(BrushTool& brush, const std::shared_ptr<ui::View>& view, double margin, bool rest)
{
    const gfx::Rect bounds = view->bounds();
    auto touch =
        std::make_shared<ui::Touch>(view, nullptr, curvePoint(0, bounds.width(), bounds.height(), margin), 0, 1);
    ui::TouchSet touches({touch});
    brush.touchesBegan(touches, ui::Event(0, touches));
    for (int i = 1; i <= kMoves; ++i) {
        touch->update(ui::TouchPhase::Moved, curvePoint(double(i) / kMoves, bounds.width(), bounds.height(), margin),
                      i);
        brush.touchesMoved(touches, ui::Event(i, touches));
        if (rest && i == kMoves / 4)
            fnd::RunLoop::main().runFor(kAirbrushRest); // the airbrush keeps adding dabs here
    }
    touch->setPhase(ui::TouchPhase::Ended);
    brush.touchesEnded(touches, ui::Event(kMoves + 1, touches));
}

} // namespace

gfx::ImageRef paintSampleStroke(const MediumValue& medium, const StrokeLook& look, int width, int height, double scale)
{
    fnd::ManualClockScope clock; // the airbrush's timer runs on simulated time
    std::shared_ptr<Canvas> canvas = Canvas::initWithSize(width, height);
    if (!canvas)
        return nullptr;
    canvas->setBackgroundColor(look.paper);
    auto view = std::make_shared<ui::View>(canvas->bounds());
    gfx::ImageRef picture;
    {
        BrushTool brush(canvas);
        brush.setCanvasView(view.get());
        brush.setMode(BrushTool::kModeFreehand);
        brush.setColor(look.ink);
        brush.setSize(look.size);
        ApplyMediumValue(brush, medium);
        // Preset sizes are canvas pixels on a 1024-pixel painting; the strip is far smaller.
        brush.setSize(static_cast<int>(std::lround((medium.size == -1 ? look.size : medium.size * 0.15) * scale)));
        brush.setPaintingSeed(1); // splatter: the same picture every run
        const double margin = brush.size() * (medium.splatter ? 1.0 : 0.6);
        strokeAlongCurve(brush, view, margin, medium.airbrush != 0);
        picture = canvas->createThumbnail(std::max(width, height));
    }
    fnd::RunLoop::main().removeAllTimers();
    return picture;
}

} // namespace mediumpictures
