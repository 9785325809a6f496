// The scroll view's glides: momentum after a flick, and animated moves to an offset.
#include <cmath>

#include "Foundation/Clock.h"
#include "Foundation/RunLoop.h"
#include "Toolkit/ScrollView.h"
#include "Toolkit/Touch.h"

namespace ui {

namespace {
constexpr double kFrameInterval = 1.0 / 60;
// Velocity kept per millisecond of gliding (the platform's normal deceleration).
constexpr double kDecelerationPerMs = 0.998;
// Flicks slower than this (points per second) do not glide; a glide ends below the stop speed.
constexpr double kMinimumFlickSpeed = 50;
constexpr double kStopSpeed = 10;
// A finger that rested this long before lifting throws nothing.
constexpr double kRestingTime = 0.1;
constexpr double kAnimatedScrollDuration = 0.3;

double speed(gfx::Point v) { return std::hypot(v.x, v.y); }
} // namespace

ScrollView::~ScrollView()
{
    if (m_glideTimer)
        m_glideTimer->invalidate();
}

void ScrollView::stopGliding()
{
    if (m_glideTimer)
        m_glideTimer->invalidate();
    m_glideTimer.reset();
    m_glide.reset();
}

void ScrollView::setContentOffset(gfx::Point offset, bool animated)
{
    if (!animated || !std::isfinite(offset.x) || !std::isfinite(offset.y)) {
        setContentOffset(offset);
        return;
    }
    auto glide = std::make_unique<Glide>();
    glide->kind = Glide::Kind::Target;
    glide->from = contentOffset();
    glide->to = offset;
    startGlide(std::move(glide));
}

void ScrollView::scrollBy(gfx::Point delta)
{
    if (!std::isfinite(delta.x) || !std::isfinite(delta.y))
        return;
    gfx::Point offset = contentOffset();
    setContentOffset(clampedOffset({offset.x + delta.x, offset.y + delta.y}));
}

void ScrollView::scrollToTop() { setContentOffset({contentOffset().x, -m_contentInset.top}, true); }

void ScrollView::scrollRectToVisible(const gfx::Rect& rect, bool animated)
{
    const EdgeInsets inset = adjustedContentInset();
    const gfx::Point offset = contentOffset();
    const double top = offset.y + inset.top;
    const double bottom = offset.y + bounds().height() - inset.bottom;
    double y = offset.y;
    if (rect.maxY() > bottom)
        y += rect.maxY() - bottom;
    if (rect.minY() < top + (y - offset.y))
        y = rect.minY() - inset.top;
    const gfx::Point target = clampedOffset({offset.x, y});
    if (target != offset)
        setContentOffset(target, animated);
}

void ScrollView::trackVelocity(gfx::Point offset, double timestamp)
{
    double dt = timestamp - m_lastSampleTime;
    if (!(dt > 0))
        return; // several moves in one instant: the next sample measures them together
    gfx::Point now{(offset.x - m_lastSampleOffset.x) / dt, (offset.y - m_lastSampleOffset.y) / dt};
    // Recent samples count most, older ones smooth out a jittery finger.
    bool first = m_velocity.x == 0 && m_velocity.y == 0;
    double keep = first || dt >= kRestingTime ? 0 : 0.3;
    m_velocity = {now.x * (1 - keep) + m_velocity.x * keep, now.y * (1 - keep) + m_velocity.y * keep};
    m_lastSampleOffset = offset;
    m_lastSampleTime = timestamp;
}

void ScrollView::startMomentum(double timestamp)
{
    gfx::Point velocity = m_velocity;
    m_velocity = {};
    if (!m_scrollEnabled || timestamp - m_lastSampleTime > kRestingTime || speed(velocity) < kMinimumFlickSpeed)
        return;
    auto glide = std::make_unique<Glide>();
    glide->velocity = velocity;
    startGlide(std::move(glide));
}

void ScrollView::startGlide(std::unique_ptr<Glide> glide)
{
    stopGliding();
    glide->start = glide->lastTick = fnd::clock().now();
    m_glide = std::move(glide);
    std::weak_ptr<View> weak = weak_from_this();
    m_glideTimer = fnd::Timer::scheduledTimer(kFrameInterval, true, [weak](fnd::Timer& timer) {
        auto view = weak.lock();
        if (!view) {
            timer.invalidate();
            return;
        }
        static_cast<ScrollView&>(*view).glideStep();
    });
}

void ScrollView::glideStep()
{
    if (!m_glide)
        return;
    double now = fnd::clock().now();
    Glide& g = *m_glide;
    if (g.kind == Glide::Kind::Target) {
        double t = (now - g.start) / kAnimatedScrollDuration;
        if (t >= 1) {
            gfx::Point end = g.to;
            stopGliding();
            moveContent(end);
            return;
        }
        double eased = t * (2 - t);
        moveContent({g.from.x + (g.to.x - g.from.x) * eased, g.from.y + (g.to.y - g.from.y) * eased});
        return;
    }
    double dt = now - g.lastTick;
    g.lastTick = now;
    double decay = std::pow(kDecelerationPerMs, dt * 1000);
    gfx::Point offset = contentOffset();
    gfx::Point wanted{offset.x + g.velocity.x * dt, offset.y + g.velocity.y * dt};
    gfx::Point held = clampedOffset(wanted);
    // An edge stops the motion along its axis.
    g.velocity = {held.x == wanted.x ? g.velocity.x * decay : 0, held.y == wanted.y ? g.velocity.y * decay : 0};
    bool done = speed(g.velocity) < kStopSpeed;
    if (done)
        stopGliding();
    moveContent(held);
}

bool scrollToTopIn(View& root)
{
    if (root.isHidden() || root.alpha() < 0.01)
        return false;
    const auto& subviews = root.subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        // Keep the child alive: a scroll may change the tree under it.
        std::shared_ptr<View> child = *it;
        if (scrollToTopIn(*child))
            return true;
    }
    auto* scroll = dynamic_cast<ScrollView*>(&root);
    if (!scroll || !scroll->scrollsToTop() || !scroll->isScrollEnabled())
        return false;
    scroll->scrollToTop();
    return true;
}

} // namespace ui
