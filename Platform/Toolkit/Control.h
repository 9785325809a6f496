#pragma once
// The base of the interactive controls: state flags (enabled, selected, highlighted) and
// target-action. Callers register callbacks for control events; the control sends the events as
// its touch is tracked:
// - TouchDown at touch-down (and TouchDownRepeat as well when it is the second or later tap);
// - TouchDragInside / TouchDragOutside as the finger moves, highlighted while it is inside;
// - TouchUpInside or TouchUpOutside at lift, TouchCancel when the touch is cancelled.
// "Inside" allows a margin around the bounds, so a finger drifting off a small button still counts.
// Subclasses add ValueChanged and shape the tracking through the begin/continue/end hooks.
// A control consumes its touches (they do not travel further up the responder chain); a disabled
// control ignores them.
#include <functional>
#include <vector>

#include "Toolkit/View.h"

namespace ui {

// Event bits, with the values the platform's constants have.
enum class ControlEvent : unsigned {
    TouchDown = 1u << 0,
    TouchDownRepeat = 1u << 1,
    TouchDragInside = 1u << 2,
    TouchDragOutside = 1u << 3,
    TouchUpInside = 1u << 6,
    TouchUpOutside = 1u << 7,
    TouchCancel = 1u << 8,
    ValueChanged = 1u << 12,
};
constexpr ControlEvent operator|(ControlEvent a, ControlEvent b)
{
    return static_cast<ControlEvent>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

// State bits; Normal is no bit set.
enum class ControlState : unsigned { Normal = 0, Highlighted = 1u << 0, Disabled = 1u << 1, Selected = 1u << 2 };
constexpr ControlState operator|(ControlState a, ControlState b)
{
    return static_cast<ControlState>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

class Control : public View {
public:
    using Action = std::function<void(Control& sender)>;

    explicit Control(const gfx::Rect& frame = {});

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    ControlState state() const;

    // Calls `action` with this control for each of `events` that happens.
    void addTarget(ControlEvent events, Action action);
    // Runs the actions registered for any of `events`, in registration order.
    void sendActionsForControlEvents(ControlEvent events);

    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;

protected:
    // Tracking hooks. beginTracking returns whether to follow the touch further.
    virtual bool beginTracking(const Touch& touch);
    virtual bool continueTracking(const Touch& touch);
    virtual void endTracking(const Touch& touch);
    virtual void cancelTracking();
    // Called whenever enabled, selected or highlighted changes.
    virtual void stateDidChange() { setNeedsDisplay(); }
    // Whether a point (own coordinates) counts as inside for tracking.
    bool isInsideForTracking(gfx::Point point) const;

private:
    struct Target {
        ControlEvent events;
        Action action;
    };
    Touch* trackedTouch(const TouchSet& touches) const;
    void finishTracking();

    std::vector<Target> m_targets;
    Touch* m_tracking = nullptr; // the touch being followed; valid while the window keeps it
    std::shared_ptr<Touch> m_trackingKeep;
    bool m_enabled = true;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_touchInside = false;
};

} // namespace ui
