#include "Toolkit/DimmingView.h"

#include <cmath>

namespace ui {

namespace {
constexpr float kFlatDimming = 0.4f;
constexpr float kSpotlightCentre = 0.25f;
constexpr float kSpotlightEdge = 0.6f;
} // namespace

DimmingView::DimmingView(const gfx::Rect& frame, Style style) : View(frame), m_style(style) { setOpaque(false); }

View* DimmingView::hitTest(gfx::Point point) { return !isHidden() && pointInside(point) ? this : nullptr; }

void DimmingView::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    gfx::Rect b = bounds();
    if (m_style == Style::Flat) {
        context.setFillColor(gfx::Color::black().withAlpha(kFlatDimming));
        context.fillRect(b);
        return;
    }
    gfx::Point centre{b.midX(), b.midY()};
    double reach = std::hypot(b.width(), b.height()) / 2;
    gfx::Gradient shade{{0, gfx::Color::black().withAlpha(kSpotlightCentre)},
                        {1, gfx::Color::black().withAlpha(kSpotlightEdge)}};
    context.drawRadialGradient(shade, centre, 0, centre, reach);
}

} // namespace ui
