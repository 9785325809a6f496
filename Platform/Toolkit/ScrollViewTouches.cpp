// The scroll view's gestures: one finger pans, two fingers pinch-zoom and pan.
#include <cmath>

#include "Toolkit/ScrollView.h"
#include "Toolkit/Touch.h"

namespace ui {

namespace {
// Below this finger spread (points) a pinch cannot measure a scale change reliably.
constexpr double kMinimumPinchDistance = 1;

gfx::Point midpoint(gfx::Point a, gfx::Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }
double distance(gfx::Point a, gfx::Point b) { return std::hypot(a.x - b.x, a.y - b.y); }
} // namespace

View* ScrollView::hitTest(gfx::Point point)
{
    View* hit = View::hitTest(point);
    return hit && m_scrollEnabled && m_fingerCount > 0 ? this : hit;
}

void ScrollView::touchesBegan(const TouchSet& touches, const Event& event)
{
    if (!m_scrollEnabled) {
        View::touchesBegan(touches, event);
        return;
    }
    stopGliding(); // a finger coming down catches the content
    for (const auto& touch : touches) {
        if (m_fingerCount < 2)
            m_fingers[m_fingerCount++] = touch;
    }
    restartGesture();
}

void ScrollView::touchesMoved(const TouchSet& touches, const Event& event)
{
    bool ours = false;
    for (int i = 0; i < m_fingerCount; ++i)
        ours = ours || touches.contains(m_fingers[i].get());
    if (!ours) {
        if (!m_scrollEnabled)
            View::touchesMoved(touches, event);
        return;
    }
    followFingers();
}

void ScrollView::touchesEnded(const TouchSet& touches, const Event& event)
{
    if (m_fingerCount == 0 && !m_scrollEnabled)
        View::touchesEnded(touches, event);
    releaseTouches(touches, true);
}

void ScrollView::touchesCancelled(const TouchSet& touches, const Event& event)
{
    if (m_fingerCount == 0 && !m_scrollEnabled)
        View::touchesCancelled(touches, event);
    releaseTouches(touches, false);
}

void ScrollView::releaseTouches(const TouchSet& touches, bool lifted)
{
    bool panning = m_fingerCount == 1;
    int kept = 0;
    for (int i = 0; i < m_fingerCount; ++i) {
        if (!touches.contains(m_fingers[i].get()))
            m_fingers[kept++] = m_fingers[i];
    }
    for (int i = kept; i < 2; ++i)
        m_fingers[i].reset();
    if (kept != m_fingerCount) {
        m_fingerCount = kept;
        if (panning && kept == 0 && lifted)
            startMomentum(touches.anyObject()->timestamp());
        restartGesture(); // the remaining finger carries on from where things are now
    }
}

void ScrollView::restartGesture()
{
    m_startOffset = contentOffset();
    m_velocity = {};
    m_lastSampleOffset = m_startOffset;
    if (m_fingerCount == 1) {
        m_startVisible = visiblePoint(*m_fingers[0]);
        m_lastSampleTime = m_fingers[0]->timestamp();
    } else if (m_fingerCount == 2) {
        gfx::Point a = visiblePoint(*m_fingers[0]), b = visiblePoint(*m_fingers[1]);
        m_startVisible = midpoint(a, b);
        m_startDistance = distance(a, b);
        m_startScale = shownZoomScale();
        if (View* view = zoomingView())
            m_zoomAnchor = view->convertPointFromView(
                {m_startOffset.x + m_startVisible.x, m_startOffset.y + m_startVisible.y}, this);
    }
}

void ScrollView::followFingers()
{
    if (m_fingerCount == 1) {
        gfx::Point now = visiblePoint(*m_fingers[0]);
        setContentOffset(clampedOffset(
            {m_startOffset.x - (now.x - m_startVisible.x), m_startOffset.y - (now.y - m_startVisible.y)}));
        trackVelocity(contentOffset(), m_fingers[0]->timestamp());
        return;
    }
    if (m_fingerCount != 2)
        return;
    gfx::Point a = visiblePoint(*m_fingers[0]), b = visiblePoint(*m_fingers[1]);
    gfx::Point center = midpoint(a, b);
    double spread = distance(a, b);
    if (zoomingView() && m_startDistance >= kMinimumPinchDistance && spread >= kMinimumPinchDistance) {
        zoomTo(m_startScale * spread / m_startDistance, m_zoomAnchor, center);
        return;
    }
    // Nothing to zoom (or fingers on top of each other): the pair pans.
    setContentOffset(clampedOffset(
        {m_startOffset.x - (center.x - m_startVisible.x), m_startOffset.y - (center.y - m_startVisible.y)}));
}

} // namespace ui
