#include "Toolkit/Control.h"

#include "Toolkit/Touch.h"

namespace ui {

namespace {
// How far outside its bounds a finger may wander and still count as inside the control.
constexpr double kTrackingMargin = 70;
} // namespace

Control::Control(const gfx::Rect& frame) : View(frame) { setOpaque(false); }

void Control::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled && m_tracking)
        cancelTracking();
    stateDidChange();
}

void Control::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    stateDidChange();
}

void Control::setHighlighted(bool highlighted)
{
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    stateDidChange();
}

ControlState Control::state() const
{
    unsigned bits = 0;
    if (m_highlighted)
        bits |= static_cast<unsigned>(ControlState::Highlighted);
    if (!m_enabled)
        bits |= static_cast<unsigned>(ControlState::Disabled);
    if (m_selected)
        bits |= static_cast<unsigned>(ControlState::Selected);
    return static_cast<ControlState>(bits);
}

void Control::addTarget(ControlEvent events, Action action)
{
    if (action)
        m_targets.push_back({events, std::move(action)});
}

void Control::sendActionsForControlEvents(ControlEvent events)
{
    // Keep this control alive and iterate over a copy: an action may release the control or
    // register further targets.
    ViewRef keepAlive = weak_from_this().lock();
    std::vector<Target> targets = m_targets;
    for (const auto& target : targets) {
        if (static_cast<unsigned>(target.events) & static_cast<unsigned>(events))
            target.action(*this);
    }
}

bool Control::isInsideForTracking(gfx::Point point) const
{
    return bounds().insetBy(-kTrackingMargin, -kTrackingMargin).contains(point);
}

Touch* Control::trackedTouch(const TouchSet& touches) const
{
    return m_tracking && touches.contains(m_tracking) ? m_tracking : nullptr;
}

void Control::touchesBegan(const TouchSet& touches, const Event& /*event*/)
{
    Touch* touch = touches.anyObject();
    if (!m_enabled || m_tracking || !touch)
        return;
    for (const auto& t : touches) {
        if (t.get() == touch)
            m_trackingKeep = t;
    }
    m_tracking = touch;
    m_touchInside = true;
    setHighlighted(true);
    ControlEvent events = ControlEvent::TouchDown;
    if (touch->tapCount() > 1)
        events = events | ControlEvent::TouchDownRepeat;
    sendActionsForControlEvents(events);
    if (m_tracking && !beginTracking(*touch))
        finishTracking();
}

void Control::touchesMoved(const TouchSet& touches, const Event& /*event*/)
{
    Touch* touch = trackedTouch(touches);
    if (!touch)
        return;
    m_touchInside = isInsideForTracking(touch->locationInView(this));
    setHighlighted(m_touchInside);
    sendActionsForControlEvents(m_touchInside ? ControlEvent::TouchDragInside : ControlEvent::TouchDragOutside);
    if (m_tracking && !continueTracking(*touch))
        finishTracking();
}

void Control::touchesEnded(const TouchSet& touches, const Event& /*event*/)
{
    Touch* touch = trackedTouch(touches);
    if (!touch)
        return;
    std::shared_ptr<Touch> keep = m_trackingKeep;
    m_touchInside = isInsideForTracking(touch->locationInView(this));
    endTracking(*touch);
    finishTracking();
    sendActionsForControlEvents(m_touchInside ? ControlEvent::TouchUpInside : ControlEvent::TouchUpOutside);
    m_touchInside = false;
}

void Control::touchesCancelled(const TouchSet& touches, const Event& /*event*/)
{
    if (!trackedTouch(touches))
        return;
    cancelTracking();
}

bool Control::beginTracking(const Touch& /*touch*/) { return true; }
bool Control::continueTracking(const Touch& /*touch*/) { return true; }
void Control::endTracking(const Touch& /*touch*/) {}

void Control::cancelTracking()
{
    finishTracking();
    m_touchInside = false;
    sendActionsForControlEvents(ControlEvent::TouchCancel);
}

void Control::finishTracking()
{
    m_tracking = nullptr;
    m_trackingKeep.reset();
    setHighlighted(false);
}

} // namespace ui
