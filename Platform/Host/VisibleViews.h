#pragma once
// Finding views the way a person looking at the screen would: a view counts as visible when it is
// in the window, neither it nor any ancestor is hidden or fully transparent, and part of it lies
// on screen.
#include <functional>
#include <string>
#include <vector>

#include "Graphics/Geometry.h"

namespace ui {
class AlertView;
class View;
class Window;
} // namespace ui

namespace host {

bool isVisibleInWindow(const ui::View& view, const ui::Window& window);

// The front-most visible view carrying the accessibility label, or nullptr. A label ending in
// "*" matches every label that starts with the text before it.
ui::View* findVisibleView(ui::Window& window, const std::string& label);

// Whether all of the view lies on screen: inside the window and every clipping ancestor.
bool isWhollyOnScreen(const ui::View& view, const ui::Window& window);

// Where to touch a view: the middle of its part that lies on screen, in window coordinates.
gfx::Point tapPointOf(const ui::View& view, const ui::Window& window);

// Whether a touch at the view's tap point reaches it: the view itself, a part of it, or the
// view that holds it (a label in a row) takes the touch, rather than something laid over it
// (the dimming behind a sheet, another screen).
bool isReachable(ui::View& view, ui::Window& window);

// Like findVisibleView, but when the view is not on screen, scrolls the front-most scrollable
// scroll view from its top, a screenful at a time, until the view shows up (as a person
// looks for a photo in a long grid). After each scroll `settle` runs (the host lets time pass,
// so lists that make their cells from a timer catch up). nullptr when it never shows up.
ui::View* revealView(ui::Window& window, const std::string& label, const std::function<void()>& settle);

// The front-most alert on screen, not yet leaving, whose title or message (or the message's first
// line, above the reason some alerts add) is `title`.
ui::AlertView* findShowingAlert(ui::Window& window, const std::string& title);
// The titles (or, without one, the messages) of the alerts on screen, front-most first.
std::vector<std::string> showingAlertTitles(ui::Window& window);

} // namespace host
