// Backgrounds of the busy overlay and the medium picker, the slider thumb and the colour
// button's swirl and glob.
#include <cmath>
#include <numbers>

#include "Cairo.h"
#include "Glossy.h"
#include "UiImages.h"

namespace genres {
namespace {

constexpr int kColorImageW = 50; // inside the 57 x 35 colour button
constexpr int kColorImageH = 32;

void spinnerBk(cairo_t* cr, double w, double h) { glossyPanel(cr, 0, 0, w, h, 12, 0.75); }

// The panel, with a recessed well where the picker's 270 x 300 list sits at (5, 5).
void mediumBk(cairo_t* cr, double w, double h)
{
    glossyPanel(cr, 0, 0, w, h, 12, 0.85);
    roundedRectPath(cr, 4.5, 4.5, 271, 301, 6);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.2);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35); // a grip under the list
    roundedRectPath(cr, w / 2 - 20, 313, 40, 5, 2.5);
    cairo_fill(cr);
}

void sliderThumb(cairo_t* cr, double w, double h)
{
    double cx = w / 2;
    double cy = h / 2;
    cairo_arc(cr, cx, cy + 1, 10.5, 0, 2 * std::numbers::pi); // shadow
    cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
    cairo_fill(cr);
    const double top[3] = {0.98, 0.98, 0.98};
    const double bottom[3] = {0.7, 0.7, 0.74};
    glossyDisc(cr, cx, cy, 10, top, bottom);
    cairo_arc(cr, cx, cy, 9.7, 0, 2 * std::numbers::pi);
    cairo_set_source_rgba(cr, 0.3, 0.3, 0.3, 0.8);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
}

// A rounded paint blob with a few bulges, centred in the image.
void blobPath(cairo_t* cr, double w, double h)
{
    const int steps = 96;
    for (int i = 0; i <= steps; ++i) {
        double a = 2 * std::numbers::pi * i / steps;
        double r = 1.0 + 0.1 * std::sin(3 * a + 0.7) + 0.06 * std::sin(5 * a + 2.1);
        double x = w / 2 + (w / 2 - 3) * 0.9 * r * std::cos(a);
        double y = h / 2 + (h / 2 - 2) * 0.9 * r * std::sin(a);
        if (i == 0) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_close_path(cr);
}

// Opaque white: its shape is what clips the tinted blob.
void glob(cairo_t* cr, double w, double h)
{
    blobPath(cr, w, h);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
}

void hueToRgb(double hue, double rgb[3])
{
    for (int i = 0; i < 3; ++i) {
        double k = std::fmod(hue * 6 + (4 - 2 * i + 6), 6.0);
        rgb[i] = 1.0 - std::max(0.0, std::min({k, 4 - k, 1.0}));
    }
}

// Rainbow paint twisted into a spiral: the hue turns with angle and with distance from centre.
void swirl(cairo_t* cr, double w, double h)
{
    cairo_save(cr);
    blobPath(cr, w, h);
    cairo_clip(cr);
    const int rings = 14;
    const int sectors = 72;
    double reach = std::hypot(w, h) / 2;
    for (int ring = 0; ring < rings; ++ring) {
        double r0 = reach * ring / rings;
        double r1 = reach * (ring + 1) / rings;
        for (int s = 0; s < sectors; ++s) {
            double a0 = 2 * std::numbers::pi * s / sectors;
            double a1 = 2 * std::numbers::pi * (s + 1.05) / sectors;
            double rgb[3];
            hueToRgb(std::fmod(static_cast<double>(s) / sectors + ring * 0.06, 1.0), rgb);
            cairo_new_path(cr);
            cairo_save(cr);
            cairo_translate(cr, w / 2, h / 2);
            cairo_scale(cr, 1.0, h / w);
            cairo_arc(cr, 0, 0, r1 * 1.0, a0, a1);
            cairo_arc_negative(cr, 0, 0, r0, a1, a0);
            cairo_restore(cr);
            cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
            cairo_fill(cr);
        }
    }
    PatternPtr gloss(cairo_pattern_create_linear(0, 0, 0, h / 2));
    cairo_pattern_add_color_stop_rgba(gloss.get(), 0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(gloss.get(), 1, 1, 1, 1, 0.0);
    cairo_set_source(cr, gloss.get());
    cairo_paint(cr);
    cairo_restore(cr);
    blobPath(cr, w, h);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

} // namespace

bool writeControlImages(const std::string& outDir)
{
    bool ok = writeUiImage(outDir, "SpinnerBk", 160, 120, spinnerBk);
    ok = writeUiImage(outDir, "MediumBk", 280, 330, mediumBk) && ok;
    ok = writeUiImage(outDir, "SliderThumb", 23, 23, sliderThumb) && ok;
    ok = writeUiImage(outDir, "Swirl", kColorImageW, kColorImageH, swirl) && ok;
    return writeUiImage(outDir, "Glob", kColorImageW, kColorImageH, glob) && ok;
}

} // namespace genres
