#include "Glossy.h"

#include <cmath>
#include <numbers>

#include "Cairo.h"

namespace genres {
namespace {
}

void roundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -std::numbers::pi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, std::numbers::pi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, std::numbers::pi / 2, std::numbers::pi);
    cairo_arc(cr, x + radius, y + radius, radius, std::numbers::pi, 3 * std::numbers::pi / 2);
    cairo_close_path(cr);
}

void glossyPanel(cairo_t* cr, double x, double y, double w, double h, double radius, double opacity)
{
    cairo_save(cr);
    roundedRectPath(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    PatternPtr body(cairo_pattern_create_linear(0, y, 0, y + h));
    cairo_pattern_add_color_stop_rgba(body.get(), 0, 0.16, 0.16, 0.18, opacity);
    cairo_pattern_add_color_stop_rgba(body.get(), 1, 0.0, 0.0, 0.0, opacity);
    cairo_set_source(cr, body.get());
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    // The gloss: a bright band fading out by the middle, ending on a soft horizon.
    PatternPtr gloss(cairo_pattern_create_linear(0, y, 0, y + h * 0.5));
    cairo_pattern_add_color_stop_rgba(gloss.get(), 0, 1, 1, 1, 0.32);
    cairo_pattern_add_color_stop_rgba(gloss.get(), 1, 1, 1, 1, 0.06);
    cairo_rectangle(cr, x, y, w, h * 0.5);
    cairo_set_source(cr, gloss.get());
    cairo_fill(cr);
    cairo_reset_clip(cr);
    roundedRectPath(cr, x + 1, y + 1, w - 2, h - 2, radius - 0.5);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.3);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    roundedRectPath(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void whiteGlyph(cairo_t* cr, const std::function<void(cairo_t*)>& path, cairo_fill_rule_t rule)
{
    cairo_save(cr);
    cairo_set_fill_rule(cr, rule);
    for (int i = 3; i >= 1; --i) { // a cheap blur: offset copies growing fainter
        cairo_save(cr);
        cairo_translate(cr, 0, 0.6 * i);
        path(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.22);
        cairo_set_line_width(cr, 0.6 * i);
        cairo_stroke_preserve(cr);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    path(cr);
    PatternPtr face(cairo_pattern_create_linear(0, 0, 0, 30));
    cairo_pattern_add_color_stop_rgb(face.get(), 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(face.get(), 1, 0.85, 0.85, 0.88);
    cairo_set_source(cr, face.get());
    cairo_fill(cr);
    cairo_restore(cr);
}

void glossyDisc(cairo_t* cr, double cx, double cy, double radius, const double top[3], const double bottom[3])
{
    cairo_save(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
    PatternPtr body(cairo_pattern_create_linear(0, cy - radius, 0, cy + radius));
    cairo_pattern_add_color_stop_rgb(body.get(), 0, top[0], top[1], top[2]);
    cairo_pattern_add_color_stop_rgb(body.get(), 1, bottom[0], bottom[1], bottom[2]);
    cairo_set_source(cr, body.get());
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy - radius * 0.42);
    cairo_scale(cr, radius * 0.75, radius * 0.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
    PatternPtr gloss(cairo_pattern_create_linear(0, cy - radius, 0, cy));
    cairo_pattern_add_color_stop_rgba(gloss.get(), 0, 1, 1, 1, 0.7);
    cairo_pattern_add_color_stop_rgba(gloss.get(), 1, 1, 1, 1, 0.05);
    cairo_set_source(cr, gloss.get());
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace genres
