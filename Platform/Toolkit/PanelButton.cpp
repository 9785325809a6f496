#include "Toolkit/PanelButton.h"

#include "Toolkit/ControlDrawing.h"

namespace ui {

namespace {
constexpr double kSheetRadius = 8;
constexpr double kAlertRadius = 6;
constexpr double kSheetFontSize = 20;
constexpr double kAlertFontSize = 17;

bool isAlertLook(PanelButton::Look look)
{
    return look == PanelButton::Look::AlertOther || look == PanelButton::Look::AlertCancel;
}

gfx::Color baseColor(PanelButton::Look look)
{
    switch (look) {
    case PanelButton::Look::Plain: return {0.86f, 0.87f, 0.89f, 1};
    case PanelButton::Look::Destructive: return {0.82f, 0.1f, 0.1f, 1};
    case PanelButton::Look::Cancel: return {0.2f, 0.21f, 0.24f, 1};
    case PanelButton::Look::AlertOther: return {0.45f, 0.52f, 0.68f, 0.85f};
    case PanelButton::Look::AlertCancel: return {0.22f, 0.27f, 0.4f, 0.9f};
    }
    return gfx::Color::white();
}

gfx::Color titleColor(PanelButton::Look look)
{
    return look == PanelButton::Look::Plain ? gfx::Color{0.1f, 0.1f, 0.12f, 1} : gfx::Color::white();
}
} // namespace

PanelButton::PanelButton(Look look, const std::string& title) : m_look(look)
{
    setOpaque(false);
    setTitle(title, ControlState::Normal);
    setTitleColor(titleColor(look), ControlState::Normal);
    setTitleColor(gfx::Color::white(), ControlState::Highlighted);
    titleLabel().setFont(Font::boldSystemFont(isAlertLook(look) ? kAlertFontSize : kSheetFontSize));
    if (look != Look::Plain)
        titleLabel().setShadowColor(gfx::Color::black().withAlpha(0.5f));
}

void PanelButton::drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty)
{
    gfx::Rect capsule = bounds();
    double radius = isAlertLook(m_look) ? kAlertRadius : kSheetRadius;
    gfx::Color base = baseColor(m_look);
    // Pressed buttons turn the selection blue, whatever their kind.
    if (isHighlighted())
        base = {0.16f, 0.38f, 0.86f, 1};
    fillGlossyRect(context, capsule, radius, {shade(base, 0.35), shade(base, 0.08), shade(base, -0.08)});
    strokeRoundedRect(context, capsule, radius, shade(base, -0.55).withAlpha(0.9f));
    Button::drawRect(context, dirty);
}

} // namespace ui
