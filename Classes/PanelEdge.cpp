#include "PanelEdge.h"

#include "Toolkit/ImageAsset.h"

void DrawPanelEdge(gfx::BitmapContext& context, const gfx::Rect& panelFrame)
{
    gfx::GStateSaver saver(context);
    context.setLineWidth(1.0);
    context.setStrokeColor({0, 0, 0, 1});
    context.strokeLine({panelFrame.minX(), 0}, {panelFrame.maxX(), 0});
    context.setStrokeColor({1, 1, 1, 0.5f});
    context.strokeLine({panelFrame.minX(), 2.0}, {panelFrame.maxX(), 2.0});
}

std::shared_ptr<ui::Slider> MakePanelSlider(const gfx::Rect& frame, float minimum, float maximum, float value,
                                            const std::string& accessibilityLabel,
                                            std::function<void(ui::Control&)> changed)
{
    auto slider = std::make_shared<ui::Slider>(frame);
    slider->setMinimumValue(minimum);
    slider->setMaximumValue(maximum);
    slider->setValue(value);
    ui::ImageAssetRef thumb = ui::imageNamed("SliderThumb.png");
    slider->setThumbImage(thumb, ui::ControlState::Normal);
    slider->setThumbImage(thumb, ui::ControlState::Highlighted);
    slider->setAccessibilityLabel(accessibilityLabel);
    slider->addTarget(ui::ControlEvent::ValueChanged, std::move(changed));
    return slider;
}

std::shared_ptr<ui::Label> MakePanelLabel(const gfx::Rect& sliderFrame, const std::string& text)
{
    auto label = std::make_shared<ui::Label>(gfx::Rect(sliderFrame.x(), sliderFrame.y() + sliderFrame.height() + 10,
                                                       sliderFrame.width(), sliderFrame.height()));
    label->setText(text);
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setFont(ui::Font::boldSystemFont(10));
    label->setTextColor(gfx::Color::white());
    label->setBackgroundColor(gfx::Color::clear());
    label->setShadowColor(gfx::Color::black());
    label->setUserInteractionEnabled(false);
    return label;
}
