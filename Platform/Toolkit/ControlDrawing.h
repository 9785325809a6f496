#pragma once
// Shared drawing of the controls' chrome (bars, tracks, bordered buttons, glows), in the glossy
// style of the phone toolkit: a vertical gradient with a lighter upper half. All functions draw
// in the context's current user space and honour its global alpha.
#include "Graphics/BitmapContext.h"

namespace ui {

struct GlossColors {
    gfx::Color top;    // top edge of the upper (lighter) half
    gfx::Color middle; // where the halves meet
    gfx::Color bottom; // bottom edge
};

// Fills a rectangle with rounded corners (radius 0 for square corners) with a glossy gradient.
void fillGlossyRect(gfx::BitmapContext& context, const gfx::Rect& rect, double radius, const GlossColors& colors);
// Strokes the outline of a rounded rectangle with a one-point line.
void strokeRoundedRect(gfx::BitmapContext& context, const gfx::Rect& rect, double radius, const gfx::Color& color);
// A soft white glow fading out from `center` to `radius`.
void fillGlow(gfx::BitmapContext& context, gfx::Point center, double radius);
// A colour moved towards white (amount > 0) or black (amount < 0), alpha kept.
gfx::Color shade(const gfx::Color& color, double amount);

} // namespace ui
