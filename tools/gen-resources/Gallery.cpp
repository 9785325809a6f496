// The gallery's background, thumbnail frames and delete buttons.
#include <cmath>
#include <numbers>

#include "Cairo.h"
#include "Glossy.h"
#include "Rng.h"
#include "UiImages.h"

namespace genres {
namespace {

// Thumbnails sit at (10, 5); a landscape one is 120 x 90, a portrait one about 84 x 120.
constexpr int kLandscapeThumbW = 120;
constexpr int kLandscapeThumbH = 90;
constexpr int kPortraitThumbW = 84;
constexpr int kPortraitThumbH = 120;

void galleryBk(cairo_t* cr, double w, double h)
{
    PatternPtr base(cairo_pattern_create_linear(0, 0, 0, h));
    cairo_pattern_add_color_stop_rgb(base.get(), 0, 0.2, 0.2, 0.23);
    cairo_pattern_add_color_stop_rgb(base.get(), 1, 0.04, 0.04, 0.05);
    cairo_set_source(cr, base.get());
    cairo_paint(cr);
    // A soft spotlight from above.
    PatternPtr spot(cairo_pattern_create_radial(w / 2, -h * 0.1, 10, w / 2, -h * 0.1, h * 0.8));
    cairo_pattern_add_color_stop_rgba(spot.get(), 0, 1, 1, 1, 0.18);
    cairo_pattern_add_color_stop_rgba(spot.get(), 1, 1, 1, 1, 0.0);
    cairo_set_source(cr, spot.get());
    cairo_paint(cr);
    // Fine brushed-metal streaks, fixed by the seed.
    Rng rng(901);
    cairo_set_line_width(cr, 0.5);
    for (int i = 0; i < 240; ++i) {
        double y = rng.range(0, h);
        cairo_move_to(cr, rng.range(-40, w), y);
        cairo_rel_line_to(cr, rng.range(30, 160), 0);
        cairo_set_source_rgba(cr, 1, 1, 1, rng.range(0.01, 0.04));
        cairo_stroke(cr);
    }
}

// A soft drop shadow and a white mount around a thumbnail of tw x th at (10, 5).
DrawFn paintingShadow(double tw, double th)
{
    return [tw, th](cairo_t* cr, double, double) {
        for (int i = 6; i >= 1; --i) { // layered shadow, darker towards the picture
            roundedRectPath(cr, 10 - 3 + 2 - i * 0.5, 5 - 3 + 4 - i * 0.3, tw + 6 + i, th + 6 + i, 2 + i);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
            cairo_fill(cr);
        }
        cairo_rectangle(cr, 7, 2, tw + 6, th + 6);
        cairo_set_source_rgb(cr, 0.97, 0.97, 0.95);
        cairo_fill(cr);
        cairo_rectangle(cr, 9.5, 4.5, tw + 1, th + 1);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    };
}

// A red glossy disc with a white rim and a white cross; pressed is darker.
DrawFn deleteButton(bool pressed)
{
    return [pressed](cairo_t* cr, double w, double h) {
        double cx = w / 2;
        double cy = h / 2;
        cairo_arc(cr, cx, cy + 1, 12, 0, 2 * std::numbers::pi);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
        cairo_fill(cr);
        cairo_arc(cr, cx, cy, 11.5, 0, 2 * std::numbers::pi);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
        const double top[3] = {pressed ? 0.6 : 0.95, pressed ? 0.05 : 0.25, pressed ? 0.05 : 0.2};
        const double bottom[3] = {pressed ? 0.35 : 0.7, 0.0, 0.0};
        glossyDisc(cr, cx, cy, 9.5, top, bottom);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, 2.6);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, cx - 4, cy - 4);
        cairo_line_to(cr, cx + 4, cy + 4);
        cairo_move_to(cr, cx + 4, cy - 4);
        cairo_line_to(cr, cx - 4, cy + 4);
        cairo_stroke(cr);
    };
}

} // namespace

bool writeGalleryImages(const std::string& outDir)
{
    bool ok = writeUiImage(outDir, "GalleryBk", 320, 480, galleryBk);
    ok = writeUiImage(outDir, "GalleryPaintingShadowL", kLandscapeThumbW + 20, kLandscapeThumbH + 20,
                      paintingShadow(kLandscapeThumbW, kLandscapeThumbH))
         && ok;
    ok = writeUiImage(outDir, "GalleryPaintingShadowP", kPortraitThumbW + 20, kPortraitThumbH + 20,
                      paintingShadow(kPortraitThumbW, kPortraitThumbH))
         && ok;
    ok = writeUiImage(outDir, "DeleteButtonN", 30, 30, deleteButton(false)) && ok;
    return writeUiImage(outDir, "DeleteButtonP", 30, 30, deleteButton(true)) && ok;
}

} // namespace genres
