#pragma once
// The chrome of navigation bars: the glossy bar background and the back button's capsule with its
// left-pointing arrow end. Drawn through gfx paths and gradients only.
#include "Graphics/BitmapContext.h"
#include "Graphics/Path.h"
#include "Toolkit/BarButtonItem.h"
#include "Toolkit/ControlDrawing.h"

namespace ui {

// Width of the arrow end of a back button.
constexpr double kBackArrowWidth = 10;

// The outline of a back button filling `rect`: an arrow end on the left, rounded corners
// of `radius` on the right.
gfx::Path backButtonPath(const gfx::Rect& rect, double radius);
// Fills a path with a glossy gradient running from the top to the bottom of `rect`.
void fillGlossyPath(gfx::BitmapContext& context, const gfx::Path& path, const gfx::Rect& rect,
                    const GlossColors& colors);
// The background of a navigation bar of `style` over `rect`: a glossy gradient (translucent for
// BlackTranslucent), a light line along the top and a dark one along the bottom.
void drawNavigationBarBackground(gfx::BitmapContext& context, const gfx::Rect& rect, BarStyle style);

} // namespace ui
