#include "Toolkit/ControlDrawing.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace ui {

namespace {
struct PatternDeleter {
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

void addStop(cairo_pattern_t* pattern, double offset, const gfx::Color& c, double alpha)
{
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.red, c.green, c.blue, c.alpha * alpha);
}

void addRoundedRectPath(cairo_t* cr, const gfx::Rect& r, double radius)
{
    radius = std::clamp(radius, 0.0, std::min(r.width(), r.height()) / 2);
    if (radius <= 0) {
        cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
        return;
    }
    constexpr double quarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, r.maxX() - radius, r.minY() + radius, radius, -quarter, 0);
    cairo_arc(cr, r.maxX() - radius, r.maxY() - radius, radius, 0, quarter);
    cairo_arc(cr, r.minX() + radius, r.maxY() - radius, radius, quarter, 2 * quarter);
    cairo_arc(cr, r.minX() + radius, r.minY() + radius, radius, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
}
} // namespace

void fillGlossyRect(gfx::BitmapContext& context, const gfx::Rect& rect, double radius, const GlossColors& colors)
{
    if (rect.isEmpty())
        return;
    cairo_t* cr = context.cairoContext();
    cairo_save(cr);
    PatternPtr gradient(cairo_pattern_create_linear(0, rect.minY(), 0, rect.maxY()));
    double alpha = context.alpha();
    addStop(gradient.get(), 0, colors.top, alpha);
    addStop(gradient.get(), 0.5, shade(colors.middle, 0.1), alpha);
    addStop(gradient.get(), 0.5, colors.middle, alpha); // the hard edge gives the glass look
    addStop(gradient.get(), 1, colors.bottom, alpha);
    addRoundedRectPath(cr, rect, radius);
    cairo_set_source(cr, gradient.get());
    cairo_fill(cr);
    cairo_restore(cr);
}

void strokeRoundedRect(gfx::BitmapContext& context, const gfx::Rect& rect, double radius, const gfx::Color& color)
{
    cairo_t* cr = context.cairoContext();
    cairo_save(cr);
    addRoundedRectPath(cr, rect.insetBy(0.5, 0.5), radius);
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha * context.alpha());
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void fillGlow(gfx::BitmapContext& context, gfx::Point center, double radius)
{
    cairo_t* cr = context.cairoContext();
    cairo_save(cr);
    PatternPtr glow(cairo_pattern_create_radial(center.x, center.y, 0, center.x, center.y, radius));
    addStop(glow.get(), 0, gfx::Color::white(), 0.9 * context.alpha());
    addStop(glow.get(), 1, gfx::Color::white(), 0);
    cairo_set_source(cr, glow.get());
    cairo_arc(cr, center.x, center.y, radius, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    cairo_restore(cr);
}

gfx::Color shade(const gfx::Color& c, double amount)
{
    auto mix = [amount](float v) {
        double target = amount > 0 ? 1.0 : 0.0;
        return static_cast<float>(v + (target - v) * std::min(1.0, std::abs(amount)));
    };
    return {mix(c.red), mix(c.green), mix(c.blue), c.alpha};
}

} // namespace ui
