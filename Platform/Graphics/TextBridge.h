#pragma once
// Where text meets the drawing context. Toolkit's TextLayout sets text with pango (layout,
// wrapping, truncation) and hands the laid-out lines here to be drawn; the cairo side of pango
// stays inside Graphics. Only TextLayout includes this header.
#include <pango/pango.h>

#include <memory>

#include "Graphics/BitmapContext.h"

namespace gfx::text {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// A pango context for text drawn into BitmapContexts: one pango point is one of our points
// (72 dots an inch) and metrics are unhinted, so a text measures the same at every backing scale.
GObjectPtr<PangoContext> makePangoContext();

// Draws `layout` with its top-left corner at `origin` in `color` (times the context's alpha),
// showing only what lies above `shownHeight`; the context's shadow falls under the glyphs.
void drawLayout(BitmapContext& context, PangoLayout* layout, Point origin, double shownHeight, const Color& color);

} // namespace gfx::text
