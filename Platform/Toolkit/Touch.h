#pragma once
// Touches and touch events. A touch is one finger from touch-down to lift: it keeps the view it
// went down on for its whole life, and its locations are kept in window coordinates so they can
// be asked for in any view's coordinates.
#include <cstddef>
#include <memory>
#include <vector>

#include "Graphics/Geometry.h"

namespace ui {

class View;
class Window;

enum class TouchPhase { Began, Moved, Stationary, Ended, Cancelled };

class Touch {
public:
    Touch(std::shared_ptr<View> view, Window* window, gfx::Point windowLocation, double timestamp, int tapCount);

    TouchPhase phase() const { return m_phase; }
    int tapCount() const { return m_tapCount; }
    double timestamp() const { return m_timestamp; }
    // The view the touch went down on (kept alive while the touch lasts), or nullptr.
    View* view() const { return m_view.get(); }
    Window* window() const { return m_window; }

    // Locations in `view`'s coordinates; nullptr means window coordinates.
    gfx::Point locationInView(const View* view) const;
    gfx::Point previousLocationInView(const View* view) const;
    gfx::Point windowLocation() const { return m_location; }

    // Updated by the window as input arrives.
    void update(TouchPhase phase, gfx::Point windowLocation, double timestamp);
    void setPhase(TouchPhase phase) { m_phase = phase; }

private:
    std::shared_ptr<View> m_view;
    Window* m_window;
    TouchPhase m_phase = TouchPhase::Began;
    int m_tapCount;
    double m_timestamp;
    gfx::Point m_location;
    gfx::Point m_previousLocation;
};

using TouchRef = std::shared_ptr<Touch>;

// An unordered set of touches (in practice a few fingers at most).
class TouchSet {
public:
    TouchSet() = default;
    explicit TouchSet(std::vector<TouchRef> touches) : m_touches(std::move(touches)) {}

    std::size_t count() const { return m_touches.size(); }
    bool empty() const { return m_touches.empty(); }
    // Any one touch of the set (the first), or nullptr when empty.
    Touch* anyObject() const { return m_touches.empty() ? nullptr : m_touches.front().get(); }
    void add(TouchRef touch) { m_touches.push_back(std::move(touch)); }
    bool contains(const Touch* touch) const;

    auto begin() const { return m_touches.begin(); }
    auto end() const { return m_touches.end(); }

private:
    std::vector<TouchRef> m_touches;
};

// One touch event: when it happened and every touch down at the time.
class Event {
public:
    Event(double timestamp, TouchSet allTouches) : m_timestamp(timestamp), m_allTouches(std::move(allTouches)) {}
    double timestamp() const { return m_timestamp; }
    const TouchSet& allTouches() const { return m_allTouches; }
    // The touches that went down on `view`.
    TouchSet touchesForView(const View* view) const;

private:
    double m_timestamp;
    TouchSet m_allTouches;
};

} // namespace ui
