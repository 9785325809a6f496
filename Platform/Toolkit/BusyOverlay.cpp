#include "Toolkit/BusyOverlay.h"

namespace ui {

BusyOverlay::BusyOverlay(ImageAssetRef background, const std::string& text, gfx::Size fallbackSize)
    : ImageView(background)
{
    const gfx::Size size = background ? background->pointSize : fallbackSize;
    setFrame({0, 0, size.width, size.height});
    m_spinner = std::make_shared<ActivityIndicator>(
        ActivityIndicatorStyle::WhiteLarge,
        gfx::Rect(size.width * 0.5 - kSpinnerSide / 2, size.height / 3 - kSpinnerSide / 2, kSpinnerSide, kSpinnerSide));
    m_label = std::make_shared<Label>(gfx::Rect(0, size.height * 0.66, size.width, kTextHeight));
    m_label->setText(text);
    m_label->setAccessibilityLabel(text);
    m_label->setTextAlignment(TextAlignment::Center);
    m_label->setFont(Font::boldSystemFont(kFontSize));
    m_label->setTextColor(gfx::Color::white());
    m_label->setShadowColor(gfx::Color::black());
    m_label->setBackgroundColor(gfx::Color::clear());
    m_label->setOpaque(false);
    addSubview(m_spinner);
    addSubview(m_label);
}

} // namespace ui
