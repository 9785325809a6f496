#include "Toolkit/TextLayout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {
constexpr const char* kFontFamily = "DejaVu Sans";
constexpr double kPointsPerInch = 72;      // one pango point is one of our points
constexpr double kLargestFontSize = 1000;  // sizes beyond this are refused as nonsense

// Unhinted metrics, so a text measures the same at every backing-store scale.
void configureContext(PangoContext* context)
{
    pango_cairo_context_set_resolution(context, kPointsPerInch);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    pango_context_set_round_glyph_positions(context, FALSE);
    cairo_font_options_destroy(options);
}
} // namespace

void TextLayout::GObjectDeleter::operator()(void* object) const { g_object_unref(object); }

TextLayout::TextLayout()
    : m_context(pango_font_map_create_context(pango_cairo_font_map_get_default()))
{
    configureContext(m_context.get());
    m_layout.reset(pango_layout_new(m_context.get()));
    pango_layout_set_wrap(m_layout.get(), PANGO_WRAP_WORD_CHAR);
    setFont({});
    setNumberOfLines(1);
}

TextLayout::~TextLayout() = default;
TextLayout::TextLayout(TextLayout&&) noexcept = default;
TextLayout& TextLayout::operator=(TextLayout&&) noexcept = default;

void TextLayout::setText(const std::string& text)
{
    m_text = text;
    pango_layout_set_text(m_layout.get(), text.c_str(), static_cast<int>(text.size()));
}

void TextLayout::setFont(const Font& font)
{
    double size = std::isfinite(font.pointSize) ? std::clamp(font.pointSize, 1.0, kLargestFontSize) : 17.0;
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, kFontFamily);
    pango_font_description_set_weight(description, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(description, size * PANGO_SCALE);
    pango_layout_set_font_description(m_layout.get(), description);
    pango_font_description_free(description);
}

void TextLayout::setAlignment(TextAlignment alignment)
{
    PangoAlignment value = alignment == TextAlignment::Center ? PANGO_ALIGN_CENTER
        : alignment == TextAlignment::Right                  ? PANGO_ALIGN_RIGHT
                                                             : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(m_layout.get(), value);
}

void TextLayout::setLineBreakMode(LineBreakMode mode)
{
    m_lineBreakMode = mode;
    setNumberOfLines(m_numberOfLines);
}

void TextLayout::setNumberOfLines(int lines)
{
    m_numberOfLines = std::max(0, lines);
    bool truncate = m_lineBreakMode == LineBreakMode::TailTruncation;
    pango_layout_set_ellipsize(m_layout.get(), truncate ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
    // A negative height limits the number of lines pango keeps when it ellipsizes.
    pango_layout_set_height(m_layout.get(), truncate && m_numberOfLines > 0 ? -m_numberOfLines : -1);
}

void TextLayout::setWidth(double width)
{
    bool wraps = std::isfinite(width) && width > 0;
    pango_layout_set_width(m_layout.get(), wraps ? static_cast<int>(std::min(width, 1e6) * PANGO_SCALE) : -1);
}

gfx::Size TextLayout::shownExtent() const
{
    double widest = 0, bottom = 0;
    PangoLayoutIter* iter = pango_layout_get_iter(m_layout.get());
    int index = 0;
    do {
        if (m_numberOfLines > 0 && index >= m_numberOfLines)
            break;
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        widest = std::max(widest, pango_units_to_double(logical.width));
        bottom = pango_units_to_double(logical.y + logical.height);
        ++index;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    return {widest, bottom};
}

gfx::Size TextLayout::size() const
{
    if (m_text.empty())
        return {};
    return shownExtent();
}

void TextLayout::draw(gfx::BitmapContext& context, gfx::Point origin, const gfx::Color& color) const
{
    if (m_text.empty() || color.alpha <= 0)
        return;
    cairo_t* cr = context.cairoContext();
    cairo_save(cr);
    gfx::Size shown = shownExtent();
    // Lines past the limit are laid out but not shown.
    cairo_rectangle(cr, origin.x - 1e5, origin.y, 2e5, shown.height);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha * context.alpha());
    // The layout's own x offsets carry the alignment within the wrap width.
    cairo_move_to(cr, origin.x, origin.y);
    pango_cairo_show_layout(cr, m_layout.get());
    cairo_restore(cr);
}

} // namespace ui

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KANVARO_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(KANVARO_ADDRESS_SANITIZER)
// Fontconfig keeps its font cache for the life of the process on purpose; the leak checker would
// report it at exit from every program that sets text.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
#endif
