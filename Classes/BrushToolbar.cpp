#include "BrushToolbar.h"

#include <cmath>

#include "BrushTool.h"
#include "PanelEdge.h"
#include "Foundation/Assert.h"
#include "Toolkit/ImageAsset.h"

namespace {
constexpr float kMinimumSize = 3.0f;
constexpr float kMaximumSize = 200.0f;
} // namespace

BrushToolbar::BrushToolbar(const gfx::Rect& frame, ui::NavigationController* navController, BrushTool* brushTool)
    : ui::View(frame)
    , m_navController(navController)
    , m_brushTool(brushTool)
{
    setBackgroundColor(gfx::Color{0, 0, 0, 0.5f});
    setOpaque(false);

    const gfx::Rect sliderFrame(10, 8, 300, 16);
    m_sizeSlider = std::make_shared<ui::Slider>(sliderFrame);
    m_sizeSlider->setMinimumValue(kMinimumSize);
    m_sizeSlider->setMaximumValue(kMaximumSize);
    if (m_brushTool)
        m_sizeSlider->setValue(static_cast<float>(m_brushTool->size()));
    ui::ImageAssetRef thumb = ui::imageNamed("SliderThumb.png");
    m_sizeSlider->setThumbImage(thumb, ui::ControlState::Normal);
    m_sizeSlider->setThumbImage(thumb, ui::ControlState::Highlighted);
    m_sizeSlider->setAccessibilityLabel("Brush Size");
    m_sizeSlider->addTarget(ui::ControlEvent::ValueChanged, [this](ui::Control& sender) { sliderAction(sender); });
    addSubview(m_sizeSlider);

    // The hint sits one slider height plus 10 points below the slider.
    m_hintLabel = std::make_shared<ui::Label>(gfx::Rect(sliderFrame.x(), sliderFrame.y() + 26, sliderFrame.width(),
                                                        sliderFrame.height()));
    m_hintLabel->setLineBreakMode(ui::LineBreakMode::WordWrap);
    m_hintLabel->setText("Brush Size: Start large and reduce to reveal detail");
    m_hintLabel->setTextAlignment(ui::TextAlignment::Center);
    m_hintLabel->setFont(ui::Font::boldSystemFont(10));
    m_hintLabel->setTextColor(gfx::Color::white());
    m_hintLabel->setBackgroundColor(gfx::Color::clear());
    m_hintLabel->setShadowColor(gfx::Color::black());
    m_hintLabel->setUserInteractionEnabled(false);
    addSubview(m_hintLabel);
}

void BrushToolbar::sliderAction(ui::Control& /*sender*/)
{
    if (m_brushTool)
        m_brushTool->setSize(static_cast<int>(std::trunc(m_sizeSlider->value())));
}

void BrushToolbar::updateSettings()
{
    KANVARO_ASSERT(m_brushTool != nullptr);
    m_sizeSlider->setValue(static_cast<float>(m_brushTool->size()));
}

void BrushToolbar::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/) { DrawPanelEdge(context, frame()); }
