#pragma once
// A view that shows text: one font, one colour, an optional shadow, aligned left, centred or
// right, wrapped at words or truncated with an ellipsis, limited to numberOfLines lines (0 = no
// limit; 1 by default). The text block is centred vertically in the bounds. Labels start with a
// clear background and do not take touches.
#include <optional>
#include <string>

#include "Toolkit/TextLayout.h"
#include "Toolkit/View.h"

namespace ui {

class Label : public View {
public:
    explicit Label(const gfx::Rect& frame = {});

    const std::string& text() const { return m_layout.text(); }
    void setText(const std::string& text);
    const Font& font() const { return m_font; }
    void setFont(const Font& font);
    const gfx::Color& textColor() const { return m_textColor; }
    void setTextColor(const gfx::Color& color);
    const std::optional<gfx::Color>& shadowColor() const { return m_shadowColor; }
    void setShadowColor(std::optional<gfx::Color> color);
    gfx::Size shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(gfx::Size offset);
    TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(TextAlignment alignment);
    LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(LineBreakMode mode);
    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines);

    // The size the text needs within `size` (a width of 0 or less means no wrap width).
    gfx::Size sizeThatFits(gfx::Size size);
    // Resizes the bounds to the text's unwrapped size, keeping the frame's origin.
    void sizeToFit();
    // Where the text lands in the bounds (vertically centred).
    gfx::Rect textRect();

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    TextLayout m_layout;
    Font m_font = Font::systemFont(17);
    gfx::Color m_textColor = gfx::Color::black();
    std::optional<gfx::Color> m_shadowColor;
    gfx::Size m_shadowOffset{0, -1};
    TextAlignment m_alignment = TextAlignment::Left;
    LineBreakMode m_lineBreakMode = LineBreakMode::WordWrap;
    int m_numberOfLines = 1;
};

} // namespace ui
