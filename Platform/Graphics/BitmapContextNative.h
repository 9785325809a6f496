#pragma once
// The cairo objects behind a BitmapContext, and the narrow door to them for Graphics' own files
// (the text bridge among them). Graphics layer only: nothing outside Platform/Graphics includes
// this header.
#include <cairo.h>

#include <cmath>

#include "Graphics/BitmapContext.h"
#include "Graphics/CairoHandles.h"

namespace gfx {

struct BitmapContext::Native {
    detail::SurfacePtr surface;
    detail::ContextPtr context;
    cairo_t* cr() const { return context.get(); }
    cairo_surface_t* target() const { return surface.get(); }
};

namespace detail {

// What Graphics' files outside BitmapContext need of it.
struct BitmapContextAccess {
    static cairo_t* cairo(BitmapContext& ctx) { return ctx.m_native->cr(); }
    static cairo_surface_t* surface(const BitmapContext& ctx) { return ctx.m_native->target(); }
    // Runs `draw` (painting with whatever source it sets, into the context `cairo` gives when it
    // runs: a shadow renders the drawing into a context of its own first) through the context's blend mode, mask
    // clips and shadow; `userBounds` holds everything it can touch.
    template <typename Draw> static void draw(BitmapContext& ctx, const Rect& userBounds, const Draw& draw)
    {
        ctx.drawWithState(userBounds, BitmapContext::step(draw));
    }
};

// Pattern matrix (user space -> source samples) that stretches a w x h source (an image or a
// mask) over `r`.
inline cairo_matrix_t stretchMatrix(const Rect& r, int w, int h)
{
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, w / r.width(), h / r.height());
    cairo_matrix_translate(&m, -r.x(), -r.y());
    return m;
}

inline bool validRect(const Rect& r)
{
    return r.width() != 0 && r.height() != 0 && std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width())
           && std::isfinite(r.height());
}

inline bool finitePath(const Path& path)
{
    for (const Path::Element& e : path.elements())
        for (const Point& p : e.points)
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                return false;
    return true;
}

inline cairo_matrix_t toCairo(const AffineTransform& t) { return toCairo(t.a, t.b, t.c, t.d, t.tx, t.ty); }
inline AffineTransform fromCairo(const cairo_matrix_t& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }

// The clip's extents in device pixels (whole pixels around it).
inline Rect deviceClipExtents(cairo_t* cr)
{
    cairo_matrix_t user;
    cairo_get_matrix(cr, &user);
    cairo_identity_matrix(cr);
    double x0, y0, x1, y1;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    cairo_set_matrix(cr, &user);
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace detail
} // namespace gfx
