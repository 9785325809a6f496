#pragma once
// Finding views the way a person looking at the screen would: a view counts as visible when it is
// in the window, neither it nor any ancestor is hidden or fully transparent, and part of it lies
// on screen.
#include <string>

#include "Graphics/Geometry.h"

namespace ui {
class View;
class Window;
} // namespace ui

namespace host {

bool isVisibleInWindow(const ui::View& view, const ui::Window& window);

// The front-most visible view carrying the accessibility label, or nullptr.
ui::View* findVisibleView(ui::Window& window, const std::string& label);

// Where to touch a view: the middle of its part that lies on screen, in window coordinates.
gfx::Point tapPointOf(const ui::View& view, const ui::Window& window);

} // namespace host
