#include "Toolkit/BarItemButton.h"

#include <algorithm>

#include "Toolkit/ControlDrawing.h"
#include "Toolkit/NavigationBarDrawing.h"

namespace ui {

namespace {
constexpr double kPlainPadding = 8;
constexpr double kGlyphSide = 20;
constexpr double kBorderedPadding = 10;
constexpr double kBorderedMinimumWidth = 48;
constexpr double kItemTitleFontSize = 12;
constexpr gfx::Color kGlyphColor = gfx::Color::white();

gfx::Color capsuleColor(BarItemButton::Look look, BarStyle barStyle)
{
    if (look == BarItemButton::Look::BorderedDone)
        return {0.2f, 0.4f, 0.85f, 1};
    return barStyle == BarStyle::Default ? gfx::Color{0.45f, 0.55f, 0.7f, 1} : gfx::Color{0.25f, 0.25f, 0.25f, 1};
}
} // namespace

BarItemButton::BarItemButton(Look look, BarStyle barStyle) : m_look(look), m_barStyle(barStyle)
{
    titleLabel().setFont(Font::boldSystemFont(kItemTitleFontSize));
    titleLabel().setShadowColor(gfx::Color::black().withAlpha(0.5f));
    setShowsTouchWhenHighlighted(look == Look::Image || look == Look::ActionGlyph || look == Look::AddGlyph);
}

double BarItemButton::naturalWidth()
{
    switch (m_look) {
    case Look::Image: {
        ImageAssetRef image = imageForState(ControlState::Normal);
        return (image ? image->pointSize.width : 0) + 2 * kPlainPadding;
    }
    case Look::ActionGlyph:
    case Look::AddGlyph: return kGlyphSide + 2 * kPlainPadding;
    case Look::BorderedAddGlyph: return kBorderedMinimumWidth - 8;
    case Look::Back:
        return std::max(kBorderedMinimumWidth, titleLabel().sizeThatFits({}).width + 2 * kBorderedPadding) - 4
               + kBackArrowWidth;
    case Look::Bordered:
    case Look::BorderedDone: break;
    }
    return std::max(kBorderedMinimumWidth, titleLabel().sizeThatFits({}).width + 2 * kBorderedPadding);
}

bool BarItemButton::isBordered() const
{
    return m_look == Look::Bordered || m_look == Look::BorderedDone || m_look == Look::BorderedAddGlyph
           || m_look == Look::Back;
}

void BarItemButton::layoutSubviews()
{
    Button::layoutSubviews();
    if (m_look == Look::Back) {
        // The title is centred on the capsule, not over the arrow end.
        gfx::Rect b = bounds();
        titleLabel().setFrame({b.minX() + kBackArrowWidth - 2, b.minY(), b.width() - kBackArrowWidth + 2, b.height()});
    }
}

void BarItemButton::drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty)
{
    if (isBordered())
        drawCapsule(context);
    if (m_look == Look::ActionGlyph)
        drawActionGlyph(context);
    if (m_look == Look::AddGlyph || m_look == Look::BorderedAddGlyph)
        drawAddGlyph(context);
    Button::drawRect(context, dirty);
}

void BarItemButton::drawCapsule(gfx::BitmapContext& context) const
{
    gfx::Rect b = bounds();
    gfx::Rect capsule(b.minX(), b.midY() - kBorderedHeight / 2, b.width(), kBorderedHeight);
    gfx::Color base = capsuleColor(m_look, m_barStyle);
    if (isHighlighted())
        base = shade(base, -0.3);
    if (m_look == Look::Back) {
        gfx::Path outline = backButtonPath(capsule.insetBy(0.5, 0.5), 5);
        fillGlossyPath(context, outline, capsule, {shade(base, 0.3), shade(base, 0.05), shade(base, -0.1)});
        context.setStrokeColor(shade(base, -0.6));
        context.setLineWidth(1);
        context.strokePath(outline);
        return;
    }
    fillGlossyRect(context, capsule, 5, {shade(base, 0.3), shade(base, 0.05), shade(base, -0.1)});
    strokeRoundedRect(context, capsule, 5, shade(base, -0.6));
}

void BarItemButton::drawActionGlyph(gfx::BitmapContext& context) const
{
    gfx::Rect b = bounds();
    double x = b.midX() - kGlyphSide / 2, y = b.midY() - kGlyphSide / 2, s = kGlyphSide;
    gfx::GStateSaver saver(context);
    context.setStrokeColor(kGlyphColor);
    context.setFillColor(kGlyphColor);
    context.setLineWidth(2);
    context.setLineCap(gfx::LineCap::Butt);
    context.setLineJoin(gfx::LineJoin::Round);
    // The box: open at the top right where the arrow leaves it.
    gfx::Path box;
    box.moveTo({x + s * 0.45, y + s * 0.35});
    box.lineTo({x + 1, y + s * 0.35});
    box.lineTo({x + 1, y + s - 1});
    box.lineTo({x + s * 0.8, y + s - 1});
    box.lineTo({x + s * 0.8, y + s * 0.7});
    context.strokePath(box);
    // The arrow: a curved shaft from inside the box up to the right, and its head.
    gfx::Path shaft;
    shaft.moveTo({x + s * 0.3, y + s * 0.8});
    shaft.curveTo({x + s * 0.3, y + s * 0.4}, {x + s * 0.5, y + s * 0.2}, {x + s * 0.8, y + s * 0.2});
    context.strokePath(shaft);
    gfx::Path head;
    head.moveTo({x + s, y + s * 0.2});
    head.lineTo({x + s * 0.72, y});
    head.lineTo({x + s * 0.72, y + s * 0.4});
    head.closeSubpath();
    context.fillPath(head);
}

void BarItemButton::drawAddGlyph(gfx::BitmapContext& context) const
{
    gfx::Rect b = bounds();
    // On a capsule the plus is a little smaller, as the capsule is only 30 points tall.
    double arm = kGlyphSide * (m_look == Look::BorderedAddGlyph ? 0.3 : 0.4), thickness = 3.5;
    context.setFillColor(kGlyphColor);
    context.fillRect({b.midX() - arm, b.midY() - thickness / 2, 2 * arm, thickness});
    context.fillRect({b.midX() - thickness / 2, b.midY() - arm, thickness, 2 * arm});
}

} // namespace ui
