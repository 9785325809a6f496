#include "Toolkit/ActivityIndicator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Foundation/Clock.h"
#include "Foundation/RunLoop.h"

namespace ui {

namespace {
constexpr int kSpokes = 12;
constexpr double kStepSeconds = 1.0 / kSpokes; // one turn a second
constexpr double kLargeSide = 37;
constexpr double kSmallSide = 20;
} // namespace

ActivityIndicator::ActivityIndicator(ActivityIndicatorStyle style, const gfx::Rect& frame)
    : View(frame.isEmpty() ? gfx::Rect(frame.origin, style == ActivityIndicatorStyle::WhiteLarge
                                                         ? gfx::Size{kLargeSide, kLargeSide}
                                                         : gfx::Size{kSmallSide, kSmallSide})
                           : frame)
    , m_style(style)
{
    setOpaque(false);
    setUserInteractionEnabled(false);
    setHidden(m_hidesWhenStopped);
}

ActivityIndicator::~ActivityIndicator()
{
    if (m_timer)
        m_timer->invalidate();
}

void ActivityIndicator::setStyle(ActivityIndicatorStyle style)
{
    m_style = style;
    setNeedsDisplay();
}

void ActivityIndicator::setHidesWhenStopped(bool hides)
{
    m_hidesWhenStopped = hides;
    if (!isAnimating())
        setHidden(hides);
}

void ActivityIndicator::startAnimating()
{
    if (m_timer)
        return;
    m_startTime = fnd::clock().now();
    m_leadingSpoke = 0;
    // The timer must not keep the view alive: it holds a weak reference.
    std::weak_ptr<View> weak = weak_from_this();
    m_timer = fnd::Timer::scheduledTimer(kStepSeconds, true, [weak](fnd::Timer& timer) {
        if (auto view = std::static_pointer_cast<ActivityIndicator>(weak.lock()))
            view->tick();
        else
            timer.invalidate();
    });
    setHidden(false);
    setNeedsDisplay();
}

void ActivityIndicator::stopAnimating()
{
    if (!m_timer)
        return;
    m_timer->invalidate();
    m_timer.reset();
    if (m_hidesWhenStopped)
        setHidden(true);
    setNeedsDisplay();
}

void ActivityIndicator::tick()
{
    auto steps = static_cast<long long>(std::floor((fnd::clock().now() - m_startTime) / kStepSeconds + 1e-9));
    int spoke = static_cast<int>(((steps % kSpokes) + kSpokes) % kSpokes);
    if (spoke != m_leadingSpoke) {
        m_leadingSpoke = spoke;
        setNeedsDisplay();
    }
}

void ActivityIndicator::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    gfx::Rect b = bounds();
    double radius = std::min(b.width(), b.height()) / 2;
    if (radius <= 0)
        return;
    float level = m_style == ActivityIndicatorStyle::Gray ? 0.5f : 1.0f;
    gfx::GStateSaver saver(context);
    context.translate(b.midX(), b.midY());
    context.setLineCap(gfx::LineCap::Round);
    context.setLineWidth(radius * 0.2);
    for (int i = 0; i < kSpokes; ++i) {
        // Spokes trail the leading one with fading brightness.
        int behind = ((m_leadingSpoke - i) % kSpokes + kSpokes) % kSpokes;
        float alpha = static_cast<float>(1.0 - 0.75 * behind / (kSpokes - 1));
        double angle = 2 * std::numbers::pi * i / kSpokes - std::numbers::pi / 2;
        context.setStrokeColor({level, level, level, alpha});
        context.strokeLine({std::cos(angle) * radius * 0.5, std::sin(angle) * radius * 0.5},
                           {std::cos(angle) * radius * 0.9, std::sin(angle) * radius * 0.9});
    }
}

} // namespace ui
