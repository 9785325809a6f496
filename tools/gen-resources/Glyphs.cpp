// White glyphs for the mode control's segments and the painting screen's toolbar.
#include <cmath>
#include <numbers>

#include "Cairo.h"
#include "Glossy.h"
#include "UiImages.h"

namespace genres {
namespace {

constexpr int kSegmentSide = 22; // three segments share a 120 x 30 control
constexpr int kToolbarSide = 26;

void capsule(cairo_t* cr, double x0, double y0, double x1, double y1, double radius)
{
    double angle = std::atan2(y1 - y0, x1 - x0);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1, y1, radius, angle - std::numbers::pi / 2, angle + std::numbers::pi / 2);
    cairo_arc(cr, x0, y0, radius, angle + std::numbers::pi / 2, angle + 3 * std::numbers::pi / 2);
    cairo_close_path(cr);
}

// A round brush lying diagonally, tip at the lower left.
void brushPath(cairo_t* cr)
{
    cairo_save(cr);
    cairo_translate(cr, 11, 11);
    cairo_rotate(cr, -std::numbers::pi / 4);
    capsule(cr, 1.5, 0, 9.5, 0, 1.6);          // handle
    cairo_rectangle(cr, -2.5, -2.2, 3.4, 4.4); // ferrule
    cairo_new_sub_path(cr);                    // bristles, ending in a point
    cairo_move_to(cr, -3.2, -2.6);
    cairo_curve_to(cr, -7, -2.8, -9, -1, -10.5, 0);
    cairo_curve_to(cr, -9, 1, -7, 2.8, -3.2, 2.6);
    cairo_close_path(cr);
    cairo_restore(cr);
}

// A slanted eraser block; its lower part hollow to show the band.
void eraserPath(cairo_t* cr)
{
    cairo_save(cr);
    cairo_translate(cr, 11, 11);
    cairo_rotate(cr, -std::numbers::pi / 5);
    roundedRectPath(cr, -9, -4.5, 18, 9, 1.5);
    roundedRectPath(cr, -7.8, -3.3, 6.6, 6.6, 0.8); // even-odd hole: the rubber end
    cairo_restore(cr);
    cairo_rectangle(cr, 3, 19, 16, 1.4); // the line it leaves
}

// An open hand, fingers up.
void handPath(cairo_t* cr)
{
    const double tips[4][2] = {{6.2, 5.5}, {9.4, 2.8}, {12.6, 3.2}, {15.6, 5.8}};
    for (const auto& tip : tips)
        capsule(cr, tip[0], tip[1], tip[0], 12, 1.45);
    capsule(cr, 4.2, 10.5, 6.5, 15.5, 1.5); // thumb
    roundedRectPath(cr, 4.8, 9.5, 12.3, 10.5, 4);
}

// Brush sizes: three dots, small to large.
void sizesPath(cairo_t* cr)
{
    const double dots[3][3] = {{4.5, 13, 2}, {10.5, 13, 3.2}, {19, 13, 4.8}};
    for (const auto& d : dots) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, d[0], d[1], d[2], 0, 2 * std::numbers::pi);
    }
}

// A painter's palette with a thumb hole.
void palettePath(cairo_t* cr)
{
    cairo_save(cr);
    cairo_translate(cr, 13, 13);
    cairo_scale(cr, 11, 8.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 18, 16.5, 2, 0, 2 * std::numbers::pi);
}

void paletteDabs(cairo_t* cr)
{
    const double dabs[4][5] = {
        {7.5, 11, 0.9, 0.15, 0.1}, {11.5, 8, 1.0, 0.8, 0.1}, {16, 8.5, 0.15, 0.4, 0.95}, {8.5, 16, 0.2, 0.7, 0.25}};
    for (const auto& d : dabs) {
        cairo_arc(cr, d[0], d[1], 1.9, 0, 2 * std::numbers::pi);
        cairo_set_source_rgb(cr, d[2], d[3], d[4]);
        cairo_fill(cr);
    }
}

// A sheet of paper with a folded corner and ruled texture lines (cut out).
void paperPath(cairo_t* cr)
{
    cairo_move_to(cr, 5, 3);
    cairo_line_to(cr, 16, 3);
    cairo_line_to(cr, 21, 8);
    cairo_line_to(cr, 21, 23);
    cairo_line_to(cr, 5, 23);
    cairo_close_path(cr);
    cairo_move_to(cr, 15.5, 3.8); // the fold, as a hole
    cairo_line_to(cr, 15.5, 8.5);
    cairo_line_to(cr, 20.2, 8.5);
    cairo_close_path(cr);
    for (double y : {12.0, 15.5, 19.0})
        cairo_rectangle(cr, 8, y, 10, 1.1);
}

DrawFn glyph(void (*path)(cairo_t*), cairo_fill_rule_t rule = CAIRO_FILL_RULE_WINDING)
{
    return [path, rule](cairo_t* cr, double, double) { whiteGlyph(cr, path, rule); };
}

} // namespace

bool writeGlyphImages(const std::string& outDir)
{
    bool ok = writeUiImage(outDir, "Brush", kSegmentSide, kSegmentSide, glyph(brushPath));
    ok = writeUiImage(outDir, "Eraser", kSegmentSide, kSegmentSide, glyph(eraserPath, CAIRO_FILL_RULE_EVEN_ODD)) && ok;
    ok = writeUiImage(outDir, "Hand", kSegmentSide, kSegmentSide, glyph(handPath)) && ok;
    ok = writeUiImage(outDir, "BrushShapesBtn", kToolbarSide, kToolbarSide, glyph(sizesPath)) && ok;
    ok = writeUiImage(outDir, "PaperBtn", kToolbarSide, kToolbarSide, glyph(paperPath, CAIRO_FILL_RULE_EVEN_ODD)) && ok;
    DrawFn color = [](cairo_t* cr, double, double) {
        whiteGlyph(cr, palettePath, CAIRO_FILL_RULE_EVEN_ODD);
        paletteDabs(cr);
    };
    return writeUiImage(outDir, "ColorBtn", kToolbarSide, kToolbarSide, color) && ok;
}

} // namespace genres
