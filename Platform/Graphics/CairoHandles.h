#pragma once
// Move-only owners of cairo handles. Graphics layer only.
#include <cairo.h>

#include <memory>

namespace gfx::detail {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct PatternDeleter {
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

// The surface an Image or ImageMask shows itself through, made on first use.
struct CachedSurface {
    SurfacePtr handle;
    cairo_surface_t* get() const { return handle.get(); }
};

inline cairo_matrix_t toCairo(double a, double b, double c, double d, double tx, double ty)
{
    cairo_matrix_t m;
    cairo_matrix_init(&m, a, b, c, d, tx, ty);
    return m;
}

} // namespace gfx::detail
