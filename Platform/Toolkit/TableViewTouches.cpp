// Taps on rows: a touch that lifts where it went down (give or take a finger's wobble) selects
// the row under it; one that moves scrolls the table instead.
#include <cmath>

#include "Toolkit/TableView.h"
#include "Toolkit/Touch.h"

namespace ui {

namespace {
constexpr double kTapSlop = 10; // points a tap may wander
} // namespace

void TableView::touchesBegan(const TouchSet& touches, const Event& event)
{
    // A finger that stops a glide, or joins another, is not a tap.
    bool startsTap = !m_tapTouch && touches.count() == 1 && !isDragging() && !isZooming() && !isDecelerating();
    m_tapTouch.reset();
    if (startsTap) {
        m_tapTouch = *touches.begin();
        m_tapStart = m_tapTouch->windowLocation();
    }
    ScrollView::touchesBegan(touches, event);
}

void TableView::touchesMoved(const TouchSet& touches, const Event& event)
{
    if (m_tapTouch && touches.contains(m_tapTouch.get())) {
        gfx::Point now = m_tapTouch->windowLocation();
        if (std::hypot(now.x - m_tapStart.x, now.y - m_tapStart.y) > kTapSlop)
            m_tapTouch.reset();
    }
    ScrollView::touchesMoved(touches, event);
}

void TableView::touchesEnded(const TouchSet& touches, const Event& event)
{
    // The delegate may let go of the table's owner while it handles the selection.
    auto keepAlive = weak_from_this().lock();
    TouchRef tap;
    if (m_tapTouch && touches.contains(m_tapTouch.get()))
        tap = std::move(m_tapTouch);
    m_tapTouch.reset();
    ScrollView::touchesEnded(touches, event);
    if (tap)
        selectTappedRow(*tap);
}

void TableView::touchesCancelled(const TouchSet& touches, const Event& event)
{
    m_tapTouch.reset();
    ScrollView::touchesCancelled(touches, event);
}

void TableView::selectTappedRow(const Touch& touch)
{
    if (m_editing)
        return;
    auto path = indexPathForRowAtPoint(touch.locationInView(this));
    if (!path)
        return;
    selectRowAtIndexPath(*path, false);
    if (m_delegate)
        m_delegate->tableViewDidSelectRowAtIndexPath(*this, *path);
}

} // namespace ui
