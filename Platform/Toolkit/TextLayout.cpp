#include "Toolkit/TextLayout.h"

#include <pango/pango.h>

#include <algorithm>
#include <cmath>

#include "Graphics/TextBridge.h"

namespace ui {

namespace {
constexpr const char* kFontFamily = "DejaVu Sans";
constexpr double kLargestFontSize = 1000; // sizes beyond this are refused as nonsense

struct FontDescriptionDeleter {
    void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};
struct LayoutIterDeleter {
    void operator()(PangoLayoutIter* iter) const { pango_layout_iter_free(iter); }
};
} // namespace

struct TextLayout::Pango {
    gfx::text::GObjectPtr<PangoContext> context = gfx::text::makePangoContext();
    gfx::text::GObjectPtr<PangoLayout> layout{pango_layout_new(context.get())};
};

TextLayout::TextLayout() : m_pango(std::make_unique<Pango>())
{
    pango_layout_set_wrap(m_pango->layout.get(), PANGO_WRAP_WORD_CHAR);
    setFont({});
    setNumberOfLines(1);
}

TextLayout::~TextLayout() = default;
TextLayout::TextLayout(TextLayout&&) noexcept = default;
TextLayout& TextLayout::operator=(TextLayout&&) noexcept = default;

void TextLayout::setText(const std::string& text)
{
    m_text = text;
    pango_layout_set_text(m_pango->layout.get(), text.c_str(), static_cast<int>(text.size()));
}

void TextLayout::setFont(const Font& font)
{
    double size = std::isfinite(font.pointSize) ? std::clamp(font.pointSize, 1.0, kLargestFontSize) : 17.0;
    std::unique_ptr<PangoFontDescription, FontDescriptionDeleter> description(pango_font_description_new());
    pango_font_description_set_family(description.get(), kFontFamily);
    pango_font_description_set_weight(description.get(), font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(description.get(), size * PANGO_SCALE);
    pango_layout_set_font_description(m_pango->layout.get(), description.get());
}

void TextLayout::setAlignment(TextAlignment alignment)
{
    PangoAlignment value = alignment == TextAlignment::Center  ? PANGO_ALIGN_CENTER
                           : alignment == TextAlignment::Right ? PANGO_ALIGN_RIGHT
                                                               : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(m_pango->layout.get(), value);
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
    pango_layout_set_ellipsize(m_pango->layout.get(), truncate ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
    // A negative height limits the number of lines pango keeps when it ellipsizes.
    pango_layout_set_height(m_pango->layout.get(), truncate && m_numberOfLines > 0 ? -m_numberOfLines : -1);
}

void TextLayout::setWidth(double width)
{
    bool wraps = std::isfinite(width) && width > 0;
    pango_layout_set_width(m_pango->layout.get(), wraps ? static_cast<int>(std::min(width, 1e6) * PANGO_SCALE) : -1);
}

gfx::Size TextLayout::shownExtent() const
{
    double widest = 0, bottom = 0;
    std::unique_ptr<PangoLayoutIter, LayoutIterDeleter> iter(pango_layout_get_iter(m_pango->layout.get()));
    int index = 0;
    do {
        if (m_numberOfLines > 0 && index >= m_numberOfLines)
            break;
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter.get(), nullptr, &logical);
        widest = std::max(widest, pango_units_to_double(logical.width));
        bottom = pango_units_to_double(logical.y + logical.height);
        ++index;
    } while (pango_layout_iter_next_line(iter.get()));
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
    gfx::text::drawLayout(context, m_pango->layout.get(), origin, shownExtent().height, color);
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
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
