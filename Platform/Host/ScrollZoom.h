#pragma once
// Ctrl + mouse wheel zooms the scroll view under the pointer, about the pointer; the plain wheel
// scrolls it.
#include "Graphics/Geometry.h"

namespace ui {
class Window;
}

namespace host {

// The wheel's factor per notch: one notch up zooms in by 10 %.
inline constexpr double kZoomPerWheelNotch = 1.1;

// Zooms the innermost scroll view under `windowPoint` by `factor` about that point; false when
// there is none under the pointer.
bool zoomScrollViewAt(ui::Window& window, gfx::Point windowPoint, double factor);

// Points the content moves per wheel notch.
inline constexpr double kScrollPerWheelNotch = 40;

// Scrolls the innermost scrolling scroll view under `windowPoint` by `dy` points of offset; false
// when there is none under the pointer.
bool scrollScrollViewAt(ui::Window& window, gfx::Point windowPoint, double dy);

} // namespace host
