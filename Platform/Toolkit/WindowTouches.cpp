// Touch delivery: hit testing at touch-down, then every phase of a touch to the view it began on.
#include <algorithm>
#include <cmath>

#include "Toolkit/Window.h"

namespace ui {

namespace {
constexpr double kMultiTapInterval = 0.35; // seconds from a lift to the next touch-down
constexpr double kMultiTapDistance = 25;   // points between the two

bool isFinished(TouchPhase phase) { return phase == TouchPhase::Ended || phase == TouchPhase::Cancelled; }
} // namespace

Window::ActiveTouch* Window::findTouch(int id)
{
    auto it = std::find_if(m_touches.begin(), m_touches.end(), [id](const ActiveTouch& t) { return t.id == id; });
    return it == m_touches.end() ? nullptr : &*it;
}

TouchRef Window::beginTouch(const TouchInput& input, double timestamp)
{
    if (findTouch(input.id) || !std::isfinite(input.location.x) || !std::isfinite(input.location.y))
        return nullptr;
    View* hit = hitTest(input.location);
    if (!hit)
        return nullptr; // outside every view: nobody gets this touch
    if (!hit->isMultipleTouchEnabled()) {
        bool busy = std::any_of(m_touches.begin(), m_touches.end(),
                                [hit](const ActiveTouch& t) { return t.touch->view() == hit; });
        if (busy)
            return nullptr; // a single-touch view sees only its first finger
    }
    double dx = input.location.x - m_lastTap.location.x, dy = input.location.y - m_lastTap.location.y;
    bool repeat = timestamp - m_lastTap.time <= kMultiTapInterval && std::hypot(dx, dy) <= kMultiTapDistance;
    int taps = repeat ? m_lastTap.count + 1 : 1;
    auto touch = std::make_shared<Touch>(hit->shared_from_this(), this, input.location, timestamp, taps);
    m_touches.push_back({input.id, touch});
    return touch;
}

void Window::sendTouches(TouchPhase phase, const std::vector<TouchInput>& touches, double timestamp)
{
    std::vector<TouchRef> changed;
    for (const auto& input : touches) {
        if (phase == TouchPhase::Began) {
            if (TouchRef t = beginTouch(input, timestamp))
                changed.push_back(std::move(t));
            continue;
        }
        ActiveTouch* active = findTouch(input.id);
        if (!active)
            continue; // a touch we never took (it began outside every view)
        gfx::Point p = input.location;
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            p = active->touch->windowLocation();
        active->touch->update(phase, p, timestamp);
        changed.push_back(active->touch);
    }
    if (changed.empty())
        return;
    deliver(phase, changed, timestamp);
    if (isFinished(phase)) {
        for (const auto& t : changed) {
            if (phase == TouchPhase::Ended)
                m_lastTap = {t->windowLocation(), timestamp, t->tapCount()};
            std::erase_if(m_touches, [&](const ActiveTouch& a) { return a.touch == t; });
        }
    }
}

void Window::cancelAllTouches(double timestamp)
{
    std::vector<TouchInput> all;
    for (const auto& t : m_touches)
        all.push_back({t.id, t.touch->windowLocation()});
    sendTouches(TouchPhase::Cancelled, all, timestamp);
}

void Window::deliver(TouchPhase phase, const std::vector<TouchRef>& changed, double timestamp)
{
    TouchSet all;
    for (const auto& t : m_touches)
        all.add(t.touch);
    Event event(timestamp, std::move(all));
    // One call per view with that view's changed touches. The touches keep their views alive, so
    // a view may remove itself (or others) from the tree while it handles them.
    std::vector<TouchRef> pending = changed;
    while (!pending.empty()) {
        View* target = pending.front()->view();
        TouchSet forTarget;
        std::erase_if(pending, [&](const TouchRef& t) {
            if (t->view() != target)
                return false;
            forTarget.add(t);
            return true;
        });
        ViewRef keepAlive = target->shared_from_this();
        switch (phase) {
        case TouchPhase::Began: target->touchesBegan(forTarget, event); break;
        case TouchPhase::Moved:
        case TouchPhase::Stationary: target->touchesMoved(forTarget, event); break;
        case TouchPhase::Ended: target->touchesEnded(forTarget, event); break;
        case TouchPhase::Cancelled: target->touchesCancelled(forTarget, event); break;
        }
    }
}

} // namespace ui
