#pragma once
// Drawing helpers for the glossy black-translucent interface look.
#include <cairo.h>

#include <functional>

namespace genres {

void roundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius);

// A dark translucent rounded panel with a glossy upper half and a light hairline edge.
void glossyPanel(cairo_t* cr, double x, double y, double w, double h, double radius, double opacity);

// Fills the path that `path` builds in white over a soft dark drop shadow (icon glyphs).
// Even-odd filling lets a glyph cut holes with inner sub-paths.
void whiteGlyph(cairo_t* cr, const std::function<void(cairo_t*)>& path,
                cairo_fill_rule_t rule = CAIRO_FILL_RULE_WINDING);

// A glossy sphere-like disc: `top` and `bottom` colours, a highlight on its upper half.
void glossyDisc(cairo_t* cr, double cx, double cy, double radius, const double top[3], const double bottom[3]);

} // namespace genres
