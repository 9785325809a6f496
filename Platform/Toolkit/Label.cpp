#include "Toolkit/Label.h"

#include <algorithm>
#include <cmath>

namespace ui {

Label::Label(const gfx::Rect& frame) : View(frame)
{
    setOpaque(false);
    setUserInteractionEnabled(false);
    m_layout.setFont(m_font);
}

void Label::setText(const std::string& text)
{
    m_layout.setText(text);
    setNeedsDisplay();
}

void Label::setFont(const Font& font)
{
    m_font = font;
    m_layout.setFont(font);
    setNeedsDisplay();
}

void Label::setTextColor(const gfx::Color& color)
{
    m_textColor = color;
    setNeedsDisplay();
}

void Label::setShadowColor(std::optional<gfx::Color> color)
{
    m_shadowColor = color;
    setNeedsDisplay();
}

void Label::setShadowOffset(gfx::Size offset)
{
    if (std::isfinite(offset.width) && std::isfinite(offset.height))
        m_shadowOffset = offset;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment)
{
    m_alignment = alignment;
    m_layout.setAlignment(alignment);
    setNeedsDisplay();
}

void Label::setLineBreakMode(LineBreakMode mode)
{
    m_lineBreakMode = mode;
    m_layout.setLineBreakMode(mode);
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines)
{
    m_numberOfLines = std::max(0, lines);
    m_layout.setNumberOfLines(m_numberOfLines);
    setNeedsDisplay();
}

gfx::Size Label::sizeThatFits(gfx::Size size)
{
    m_layout.setWidth(size.width);
    gfx::Size needed = m_layout.size();
    return {std::ceil(needed.width), std::ceil(needed.height)};
}

void Label::sizeToFit()
{
    gfx::Rect f = frame();
    gfx::Size size = sizeThatFits({0, 0});
    setBounds({bounds().origin, size});
    setCenter({f.x() + size.width / 2, f.y() + size.height / 2});
}

gfx::Rect Label::textRect()
{
    gfx::Rect b = bounds();
    m_layout.setWidth(b.width());
    gfx::Size size = m_layout.size();
    return {b.x(), b.midY() - size.height / 2, b.width(), size.height};
}

void Label::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    gfx::Rect area = textRect();
    if (m_shadowColor) {
        gfx::Point shadowOrigin{area.x() + m_shadowOffset.width, area.y() + m_shadowOffset.height};
        m_layout.draw(context, shadowOrigin, *m_shadowColor);
    }
    m_layout.draw(context, area.origin, m_textColor);
}

} // namespace ui
