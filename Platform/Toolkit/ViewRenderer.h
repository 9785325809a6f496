#pragma once
// Compositing a view tree into a bitmap context whose current transform maps the coordinates of
// the view's superview (or of the view itself) onto the bitmap.
#include "Graphics/BitmapContext.h"

namespace ui {

class View;

// Draws a view and its descendants as they are on screen now: placed in the superview by its
// centre, bounds and transform (when `placeInSuperview`), at its alpha, unless hidden; with a
// transition running, as the transition's current frame. Only what lies in the clip is drawn.
void renderView(gfx::BitmapContext& ctx, View& view, bool placeInSuperview);

// Draws what a view shows in its own coordinates: background colour, drawRect, then subviews.
void renderViewContent(gfx::BitmapContext& ctx, View& view);

} // namespace ui
