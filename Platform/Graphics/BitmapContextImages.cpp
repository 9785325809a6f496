// BitmapContext: images, other bitmaps and layers drawn stretched or tiled.
#include <cmath>

#include "Graphics/BitmapContext.h"
#include "Graphics/BitmapContextNative.h"
#include "Graphics/Layer.h"

namespace gfx {

namespace {

// True when more than one source pixel falls on a device pixel along either axis, counting the
// scale already in the drawing transform (a canvas drawn as a small thumbnail).
bool shrinks(cairo_t* cr, const cairo_matrix_t& userToSource)
{
    cairo_matrix_t deviceToSource;
    cairo_get_matrix(cr, &deviceToSource);
    if (cairo_matrix_invert(&deviceToSource) != CAIRO_STATUS_SUCCESS)
        return false;
    cairo_matrix_multiply(&deviceToSource, &deviceToSource, &userToSource);
    constexpr double slack = 1e-6;
    return std::hypot(deviceToSource.xx, deviceToSource.yx) > 1 + slack
           || std::hypot(deviceToSource.xy, deviceToSource.yy) > 1 + slack;
}

// Nearest sampling copies pixels exactly when the source is not stretched and shows hard pixels
// when interpolation is off; shrinking with interpolation on averages (cairo's GOOD filter box-
// filters when it downscales), so thin lines in a thumbnail turn grey instead of breaking up.
cairo_filter_t sourceFilter(cairo_t* cr, const cairo_matrix_t& userToSource, bool interpolate)
{
    if (!interpolate)
        return CAIRO_FILTER_NEAREST;
    if (shrinks(cr, userToSource))
        return CAIRO_FILTER_GOOD;
    const bool identity = userToSource.xx == 1 && userToSource.yy == 1 && userToSource.xy == 0 && userToSource.yx == 0;
    return identity ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD;
}

// Paints `surface` stretched over `r` (edges kept sharp), at `alpha`.
void paintSurface(cairo_t* cr, cairo_surface_t* surface, int w, int h, const Rect& r, double alpha, bool interpolate,
                  bool tiled)
{
    detail::PatternPtr pattern(cairo_pattern_create_for_surface(surface));
    cairo_matrix_t m = detail::stretchMatrix(r, w, h);
    cairo_pattern_set_matrix(pattern.get(), &m);
    cairo_pattern_set_filter(pattern.get(), sourceFilter(cr, m, interpolate));
    cairo_pattern_set_extend(pattern.get(), tiled ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
    cairo_set_source(cr, pattern.get());
    cairo_save(cr);
    if (!tiled) {
        cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
        cairo_clip(cr);
    }
    if (alpha >= 1.0)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

} // namespace

void BitmapContext::drawImage(const Rect& r, const Image& image)
{
    if (!detail::validRect(r))
        return;
    drawWithState(r.standardized(), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      paintSurface(cr, image.surface().get(), image.width(), image.height(), r, state().alpha,
                                   state().interpolate, false);
                  }));
}

void BitmapContext::drawTiledImage(const Rect& firstTile, const Image& image)
{
    if (!detail::validRect(firstTile))
        return;
    drawWithState(clipBoundingBox(), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      paintSurface(cr, image.surface().get(), image.width(), image.height(), firstTile, state().alpha,
                                   state().interpolate, true);
                  }));
}

void BitmapContext::drawBitmap(const Rect& r, const BitmapContext& other)
{
    if (!detail::validRect(r))
        return;
    cairo_surface_t* source = other.m_native->target();
    cairo_surface_flush(source);
    drawWithState(r.standardized(), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      paintSurface(cr, source, other.m_width, other.m_height, r, state().alpha, state().interpolate,
                                   false);
                  }));
}

void BitmapContext::drawLayer(const Rect& r, const Layer& layer) { drawBitmap(r, layer.context()); }

void BitmapContext::drawLayer(Point origin, const Layer& layer)
{
    drawBitmap(Rect(origin, layer.size()), layer.context());
}

} // namespace gfx
