#include "Toolkit/Touch.h"

#include <algorithm>

#include "Toolkit/View.h"

namespace ui {

Touch::Touch(std::shared_ptr<View> view, Window* window, gfx::Point windowLocation, double timestamp, int tapCount)
    : m_view(std::move(view))
    , m_window(window)
    , m_tapCount(tapCount)
    , m_timestamp(timestamp)
    , m_location(windowLocation)
    , m_previousLocation(windowLocation)
{
}

gfx::Point Touch::locationInView(const View* view) const
{
    return view ? view->convertPointFromView(m_location, nullptr) : m_location;
}

gfx::Point Touch::previousLocationInView(const View* view) const
{
    return view ? view->convertPointFromView(m_previousLocation, nullptr) : m_previousLocation;
}

void Touch::update(TouchPhase phase, gfx::Point windowLocation, double timestamp)
{
    m_phase = phase;
    m_previousLocation = m_location;
    m_location = windowLocation;
    m_timestamp = timestamp;
}

bool TouchSet::contains(const Touch* touch) const
{
    return std::any_of(m_touches.begin(), m_touches.end(), [touch](const TouchRef& t) { return t.get() == touch; });
}

TouchSet Event::touchesForView(const View* view) const
{
    TouchSet result;
    for (const auto& t : m_allTouches) {
        if (t->view() == view)
            result.add(t);
    }
    return result;
}

} // namespace ui
