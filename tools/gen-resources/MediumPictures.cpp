#include "MediumPictures.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "BrushShapes.h"
#include "Cairo.h"
#include "Glossy.h"
#include "Rng.h"

namespace genres {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The list shifts each row 20 points left inside a 270-point list, so the picture's first
// 10 points are hidden; the content starts after them.
constexpr double kLeft = 14;
constexpr double kNameWidth = 80;
constexpr double kStripX = kLeft + kNameWidth + 4;
constexpr double kStripRight = 266;

struct MediumLook {
    const char* shape;
    const char* label;
    double dab;        // dab side in points
    double spacing;    // distance between dabs as a fraction of the dab side
    double opacity;
    bool followsStroke;
    bool splatter;
    double ink[3];
    double paper[3];
};

const MediumLook kLooks[] = {
    {"Oil", "Oil Paint", 26, 0.25, 1.0, true, false, {0.55, 0.12, 0.08}, {0.96, 0.94, 0.88}},
    {"Watercolor", "Watercolor", 28, 0.15, 0.22, true, false, {0.1, 0.35, 0.75}, {0.97, 0.97, 0.95}},
    {"Pencil", "Pencil", 9, 0.1, 0.6, true, false, {0.25, 0.25, 0.27}, {0.97, 0.97, 0.95}},
    {"Airbrush", "Airbrush", 60, 0.12, 0.22, false, false, {0.85, 0.1, 0.45}, {0.97, 0.97, 0.95}},
    {"ScratchBoard", "Scratch Board", 22, 1.0, 1.0, true, true, {0.95, 0.95, 0.92}, {0.08, 0.08, 0.08}},
    {"Charcoal", "Charcoal", 22, 0.2, 0.7, true, false, {0.1, 0.1, 0.1}, {0.95, 0.93, 0.88}},
    {"Chalk", "Chalk", 20, 0.5, 0.9, true, false, {0.97, 0.97, 0.92}, {0.15, 0.32, 0.22}},
    {"Pastel", "Pastel", 24, 0.3, 0.5, false, false, {0.95, 0.55, 0.25}, {0.96, 0.94, 0.88}},
    {"Finger", "Finger", 26, 0.2, 0.5, true, false, {0.2, 0.55, 0.3}, {0.97, 0.97, 0.95}},
    {"PenAndInk", "Pen and Ink", 7, 1.2, 1.0, false, true, {0.05, 0.05, 0.1}, {0.97, 0.97, 0.95}},
    {"Calligraphy", "Calligraphy", 18, 0.06, 1.0, false, false, {0.1, 0.1, 0.4}, {0.97, 0.96, 0.9}},
};

// The brush shape as an alpha surface: dark samples become opaque paint.
SurfacePtr shapeAlpha(const BrushShape& shape) {
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_A8, shape.size, shape.size));
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < shape.size; ++y) {
        for (int x = 0; x < shape.size; ++x) {
            data[y * stride + x] =
                static_cast<unsigned char>(255 - shape.grey[static_cast<std::size_t>(y) * shape.size + x]);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

// One dab centred at (x, y), its first row turned towards `heading` (radians, y down).
void dab(cairo_t* cr, cairo_surface_t* mask, int maskSide, double x, double y, double side,
         double heading) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, heading + kPi / 2);
    cairo_scale(cr, side / maskSide, side / maskSide);
    cairo_mask_surface(cr, mask, -maskSide / 2.0, -maskSide / 2.0);
    cairo_restore(cr);
}

// Dabs along a gentle S-curve through the strip.
void sampleStroke(cairo_t* cr, const MediumLook& look, double top, double bottom) {
    BrushShape shape = makeBrushShape(look.shape);
    SurfacePtr mask = shapeAlpha(shape);
    cairo_set_source_rgba(cr, look.ink[0], look.ink[1], look.ink[2], look.opacity);
    Rng rng(0x5eed);
    double x0 = kStripX + look.dab * 0.5 + 4;
    double x1 = kStripRight - look.dab * 0.5 - 4;
    double mid = (top + bottom) / 2;
    double swing = std::max(0.0, (bottom - top - look.dab) / 2 - 2);
    auto curveY = [&](double x) { return mid + swing * std::sin((x - x0) / (x1 - x0) * 2 * kPi); };
    double step = std::max(0.5, look.dab * look.spacing);
    for (double x = x0; x <= x1; x += step) {
        double slope = (curveY(x + 0.5) - curveY(x - 0.5));
        double heading = look.followsStroke ? std::atan2(slope, 1.0) : -kPi / 2;
        double px = x;
        double py = curveY(x);
        if (look.splatter) {
            px += rng.range(-0.6, 0.6) * look.dab;
            py += rng.range(-0.6, 0.6) * look.dab;
            heading = rng.range(0, 2 * kPi);
        }
        dab(cr, mask.get(), shape.size, px, py, look.dab, heading);
    }
}

void label(cairo_t* cr, const char* text, double h) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    double size = 12;
    cairo_text_extents_t extents;
    cairo_set_font_size(cr, size);
    cairo_text_extents(cr, text, &extents);
    if (extents.x_advance > kNameWidth) {
        size *= kNameWidth / extents.x_advance;
        cairo_set_font_size(cr, size);
    }
    double baseline = h / 2 + size * 0.35;
    cairo_move_to(cr, kLeft, baseline + 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_show_text(cr, text);
    cairo_move_to(cr, kLeft, baseline);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_show_text(cr, text);
}

DrawFn mediumPicture(const MediumLook& look) {
    return [&look](cairo_t* cr, double, double h) {
        label(cr, look.label, h);
        double top = 5;
        double bottom = h - 5;
        roundedRectPath(cr, kStripX, top, kStripRight - kStripX, bottom - top, 4);
        cairo_set_source_rgb(cr, look.paper[0], look.paper[1], look.paper[2]);
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        sampleStroke(cr, look, top, bottom);
        cairo_restore(cr);
        roundedRectPath(cr, kStripX + 0.5, top + 0.5, kStripRight - kStripX - 1, bottom - top - 1, 4);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    };
}

} // namespace

bool writeMediumPictures(const std::string& outDir) {
    bool ok = true;
    for (const MediumLook& look : kLooks) {
        bool tall = std::string(look.shape) == "Airbrush";
        int h = tall ? kAirbrushRowHeight : kMediumRowHeight;
        ok = writeUiImage(outDir, std::string(look.shape) + "_medium", kMediumPictureWidth, h,
                          mediumPicture(look)) && ok;
    }
    return ok;
}

} // namespace genres
