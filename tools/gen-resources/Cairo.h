#pragma once
// Owning handles for cairo objects and the step that turns a drawing into PNG files.
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace genres {

struct SurfaceDestroyer {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDestroyer {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct PatternDestroyer {
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDestroyer>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDestroyer>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternDestroyer>;

// Draws a picture of w x h points; the context is already scaled to pixels.
using DrawFn = std::function<void(cairo_t*, double w, double h)>;

// Renders `draw` into a transparent ARGB surface of (w x scale) by (h x scale) pixels and
// returns its pixels as straight (not premultiplied) RGBA rows.
std::vector<std::uint8_t> renderRgba(int w, int h, int scale, const DrawFn& draw);

// Writes OUTDIR/name.png at 1x and, when `withDouble`, OUTDIR/name@2x.png and name@3x.png drawn at
// 2x and 3x.
bool writeUiImage(const std::string& outDir, const std::string& name, int w, int h, const DrawFn& draw,
                  bool withDouble = true);

} // namespace genres
