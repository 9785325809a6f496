#include "Graphics/TextBridge.h"

#include <pango/pangocairo.h>

#include <algorithm>

#include "Graphics/BitmapContextNative.h"

namespace gfx::text {

namespace {
constexpr double kPointsPerInch = 72;

struct FontOptionsDeleter {
    void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};
} // namespace

GObjectPtr<PangoContext> makePangoContext()
{
    GObjectPtr<PangoContext> context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    pango_cairo_context_set_resolution(context.get(), kPointsPerInch);
    std::unique_ptr<cairo_font_options_t, FontOptionsDeleter> options(cairo_font_options_create());
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context.get(), options.get());
    pango_context_set_round_glyph_positions(context.get(), FALSE);
    return context;
}

void drawLayout(BitmapContext& context, PangoLayout* layout, Point origin, double shownHeight, const Color& color)
{
    if (!layout || !(shownHeight > 0))
        return;
    PangoRectangle ink, logical;
    pango_layout_get_extents(layout, &ink, &logical);
    const double x0 = std::min(ink.x, logical.x), x1 = std::max(ink.x + ink.width, logical.x + logical.width);
    // Lines past the limit are laid out but not shown.
    const Rect shown(origin.x + pango_units_to_double(x0) - 1, origin.y, pango_units_to_double(x1 - x0) + 2,
                     shownHeight);
    const double alpha = color.alpha * context.alpha();
    detail::BitmapContextAccess::draw(context, shown, [&] {
        cairo_t* cr = detail::BitmapContextAccess::cairo(context); // a shadow may swap in its own
        cairo_save(cr);
        cairo_rectangle(cr, shown.x(), shown.y(), shown.width(), shown.height());
        cairo_clip(cr);
        cairo_set_source_rgba(cr, color.red, color.green, color.blue, alpha);
        // The layout's own x offsets carry the alignment within the wrap width.
        cairo_move_to(cr, origin.x, origin.y);
        pango_cairo_show_layout(cr, layout);
        cairo_restore(cr);
    });
}

} // namespace gfx::text
