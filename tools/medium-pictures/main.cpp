// medium-pictures OUTDIR: the medium picker's row pictures, each a sample stroke painted by the
// brush engine with the medium's preset, on a strip of paper beside the medium's name.
#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "Foundation/Bundle.h"
#include "ImageIO/Encoder.h"
#include "SampleStroke.h"

namespace {

using mediumpictures::StrokeLook;

constexpr int kWidth = 280;          // points
constexpr int kRowHeight = 52;       // points
constexpr int kAirbrushHeight = 91;  // points
// The picker shows the picture shifted 20 points left in a 270-point list: keep clear of the edges.
constexpr double kLeft = 14;
constexpr double kNameWidth = 80;
constexpr double kStripX = kLeft + kNameWidth + 4;
constexpr double kStripRight = 266;
constexpr double kStripInset = 5;

constexpr gfx::Color kPaper{0.97f, 0.96f, 0.92f, 1};

// In the order of the medium table.
const StrokeLook kLooks[NUM_MEDIUM_VALUES] = {
    {"Oil", "Oil Paint", 24, {0.60f, 0.14f, 0.08f, 1}, kPaper},
    {"Watercolor", "Watercolor", 26, {0.10f, 0.35f, 0.80f, 1}, kPaper},
    {"Pencil", "Pencil", 22, {0.22f, 0.22f, 0.25f, 1}, kPaper},
    {"Airbrush", "Airbrush", 40, {0.85f, 0.10f, 0.45f, 1}, kPaper},
    {"ScratchBoard", "Scratch Board", 22, {0.10f, 0.10f, 0.10f, 1}, kPaper},
    {"Charcoal", "Charcoal", 22, {0.12f, 0.12f, 0.12f, 1}, kPaper},
    {"Chalk", "Chalk", 20, {0.20f, 0.45f, 0.70f, 1}, kPaper},
    {"Pastel", "Pastel", 24, {0.95f, 0.50f, 0.20f, 1}, kPaper},
    {"Finger", "Finger", 26, {0.20f, 0.55f, 0.30f, 1}, kPaper},
    {"PenAndInk", "Pen and Ink", 8, {0.05f, 0.05f, 0.12f, 1}, kPaper},
    {"Calligraphy", "Calligraphy", 16, {0.10f, 0.10f, 0.40f, 1}, kPaper},
};

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void drawLabel(cairo_t* cr, const char* text, double h)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    double size = 12;
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    if (extents.x_advance > kNameWidth) {
        size *= kNameWidth / extents.x_advance;
        cairo_set_font_size(cr, size);
    }
    const double baseline = h / 2 + size * 0.35;
    cairo_move_to(cr, kLeft, baseline + 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_show_text(cr, text);
    cairo_move_to(cr, kLeft, baseline);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_show_text(cr, text);
}

// The stroke composite (already at pixel scale) as a cairo surface for drawing.
cairo_surface_t* surfaceOf(const gfx::Image& image)
{
    return cairo_image_surface_create_for_data(const_cast<unsigned char*>(image.data()), CAIRO_FORMAT_ARGB32,
                                               image.width(), image.height(), image.bytesPerRow());
}

bool writePicture(const std::string& path, const MediumValue& medium, const StrokeLook& look, int heightPoints, int scale)
{
    const int w = kWidth * scale, h = heightPoints * scale;
    const double top = kStripInset, bottom = heightPoints - kStripInset;
    const int stripW = static_cast<int>((kStripRight - kStripX) * scale), stripH = static_cast<int>((bottom - top) * scale);
    gfx::ImageRef stroke = mediumpictures::paintSampleStroke(medium, look, stripW, stripH, scale);
    if (!stroke)
        return false;
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(target);
    cairo_scale(cr, scale, scale);
    drawLabel(cr, look.label, heightPoints);
    roundedRect(cr, kStripX, top, kStripRight - kStripX, bottom - top, 4);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_scale(cr, 1.0 / scale, 1.0 / scale);
    cairo_surface_t* strokeSurface = surfaceOf(*stroke);
    cairo_set_source_surface(cr, strokeSurface, kStripX * scale, top * scale);
    cairo_paint(cr);
    cairo_surface_destroy(strokeSurface);
    cairo_restore(cr);
    roundedRect(cr, kStripX + 0.5, top + 0.5, kStripRight - kStripX - 1, bottom - top - 1, 4);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    auto png = imageio::encodePng({cairo_image_surface_get_data(target), w, h, cairo_image_surface_get_stride(target), true},
                                  {9, true, imageio::PngFilter::kAdaptive});
    cairo_surface_destroy(target);
    if (!png) {
        std::fprintf(stderr, "medium-pictures: %s: %s\n", path.c_str(), png.error().c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: medium-pictures OUTDIR\n");
        return 2;
    }
    const std::string outDir = argv[1];
    // The brush shapes come from the same resource folder the pictures go to.
    fnd::setResourcePath(std::filesystem::absolute(outDir).string());
    bool ok = true;
    for (int row = 0; row < NUM_MEDIUM_VALUES; ++row) {
        const MediumValue& medium = g_arMediumValues[row];
        const int height = std::string(medium.shapeName) == "Airbrush" ? kAirbrushHeight : kRowHeight;
        for (int scale : {1, 2}) {
            std::string name = std::string(medium.shapeName) + (scale == 1 ? "_medium.png" : "_medium@2x.png");
            if (!writePicture(outDir + "/" + name, medium, kLooks[row], height, scale)) {
                std::fprintf(stderr, "medium-pictures: could not write %s\n", name.c_str());
                ok = false;
            }
        }
    }
    cairo_debug_reset_static_data();
    return ok ? 0 : 1;
}
