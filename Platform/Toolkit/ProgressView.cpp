#include "Toolkit/ProgressView.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "Toolkit/ControlDrawing.h"

namespace ui {

namespace {
constexpr GlossColors kFill{{0.62f, 0.8f, 1, 1}, {0.25f, 0.55f, 0.95f, 1}, {0.12f, 0.38f, 0.85f, 1}};
constexpr GlossColors kTrack{{0, 0, 0, 0.55f}, {0, 0, 0, 0.4f}, {0.05f, 0.05f, 0.1f, 0.3f}};
const gfx::Color kRim = gfx::Color::white().withAlpha(0.85f);

std::string percent(double progress) { return std::to_string(static_cast<int>(progress * 100)) + "%"; }
} // namespace

ProgressView::ProgressView(const gfx::Rect& frame) : View(frame)
{
    setOpaque(false);
    setAccessibilityLabel(percent(0));
}

void ProgressView::setProgress(double progress)
{
    const double clamped = std::isfinite(progress) ? std::clamp(progress, 0.0, 1.0) : 0.0;
    const double before = std::round(m_progress * bounds().width() * 4);
    m_progress = clamped;
    setAccessibilityLabel(percent(clamped));
    if (std::round(clamped * bounds().width() * 4) != before)
        setNeedsDisplay();
}

void ProgressView::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    const gfx::Rect track = bounds().insetBy(0.5, 0.5);
    const double radius = track.height() / 2;
    fillGlossyRect(context, track, radius, kTrack);
    if (m_progress > 0) {
        // The fill keeps its round ends: never narrower than the bar is high.
        const gfx::Rect inner = track.insetBy(1.5, 1.5);
        const double width = std::max(inner.height(), inner.width() * m_progress);
        fillGlossyRect(context, {inner.minX(), inner.minY(), width, inner.height()}, inner.height() / 2, kFill);
    }
    strokeRoundedRect(context, track, radius, kRim);
}

} // namespace ui
