// The application icon for the desktop's menus and docks: a sheet of canvas with three paint
// strokes and a brush, drawn as vectors at every size the icon theme asks for, so even the 16
// pixel one is sharp rather than a shrunken big one.
#include <filesystem>
#include <string>
#include <system_error>

#include "Cairo.h"
#include "Glossy.h"
#include "PngWriter.h"
#include "UiImages.h"

namespace genres {
namespace {

constexpr double kDesign = 256; // the icon is drawn in a 256 x 256 design space
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

void canvasSheet(cairo_t* cr)
{
    roundedRectPath(cr, 20, 28, 216, 208, 30);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_fill(cr);
    roundedRectPath(cr, 16, 16, 216, 208, 30);
    PatternPtr paper(cairo_pattern_create_linear(0, 16, 0, 224));
    cairo_pattern_add_color_stop_rgb(paper.get(), 0, 0.99, 0.97, 0.91);
    cairo_pattern_add_color_stop_rgb(paper.get(), 1, 0.90, 0.86, 0.77);
    cairo_set_source(cr, paper.get());
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.35, 0.28, 0.2, 0.6);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
}

void paintStroke(cairo_t* cr, double y, double bend, double r, double g, double b)
{
    cairo_move_to(cr, 44, y);
    cairo_curve_to(cr, 92, y - bend, 148, y + bend, 200, y - bend / 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 30);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_stroke(cr);
}

void brush(cairo_t* cr)
{
    cairo_save(cr);
    cairo_translate(cr, 150, 150);
    cairo_rotate(cr, -0.8);
    roundedRectPath(cr, -12, -110, 24, 100, 10); // handle, pointing up and right
    cairo_set_source_rgb(cr, 0.55, 0.27, 0.12);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.25, 0.12, 0.05);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    cairo_rectangle(cr, -14, -14, 28, 26); // ferrule
    cairo_set_source_rgb(cr, 0.78, 0.79, 0.82);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.33);
    cairo_stroke(cr);
    cairo_move_to(cr, -14, 12); // bristles, dipped in blue
    cairo_curve_to(cr, -16, 40, -4, 64, 0, 76);
    cairo_curve_to(cr, 4, 64, 16, 40, 14, 12);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.13, 0.36, 0.8);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.06, 0.16, 0.4);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void appIcon(cairo_t* cr, double w, double h)
{
    cairo_scale(cr, w / kDesign, h / kDesign);
    canvasSheet(cr);
    paintStroke(cr, 76, 26, 0.9, 0.2, 0.18);
    paintStroke(cr, 124, 22, 0.98, 0.72, 0.12);
    paintStroke(cr, 172, 18, 0.2, 0.62, 0.3);
    brush(cr);
}

} // namespace

bool writeAppIcons(const std::string& outDir)
{
    bool ok = true;
    for (int size : kIconSizes) {
        const std::string side = std::to_string(size);
        const std::string dir = outDir + "/Desktop/hicolor/" + side + "x" + side + "/apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        ok = !error && writePng(dir + "/kanvaro.png", PngKind::Rgba, size, size, renderRgba(size, size, 1, appIcon))
             && ok;
    }
    return ok;
}

} // namespace genres
