// The brush size panel: the slider's ends and truncation reach the brush, and a size set by a
// medium shows only after the panel re-reads it.
#include <gtest/gtest.h>

#include "BrushTool.h"
#include "BrushToolbar.h"
#include "MediumValues.h"
#include "Toolkit/View.h"

TEST(BrushToolbar, SliderSetsTruncatedSizeAndUpdateSettingsRereadsTheBrush)
{
    BrushTool brush(nullptr);
    brush.setSize(100);
    BrushToolbar panel(gfx::Rect(0, 372, 320, 64), nullptr, &brush);
    ui::Slider& slider = *panel.sizeSlider();
    EXPECT_FLOAT_EQ(slider.value(), 100.0f);

    for (auto [value, size] : {std::pair{-50.0f, 3}, {3.9f, 3}, {199.99f, 199}, {500.0f, 200}}) {
        slider.setValue(value);
        slider.sendActionsForControlEvents(ui::ControlEvent::ValueChanged);
        EXPECT_EQ(brush.size(), size) << value;
    }

    ApplyMediumValue(brush, g_arMediumValues[4]); // ScratchBoard sets size 75
    EXPECT_FLOAT_EQ(slider.value(), 200.0f);      // not yet
    panel.updateSettings();
    EXPECT_FLOAT_EQ(slider.value(), 75.0f);
}

TEST(BrushToolbarDeathTest, UpdateSettingsWithoutABrushStops)
{
    BrushToolbar panel(gfx::Rect(0, 0, 320, 64), nullptr, nullptr);
    EXPECT_DEATH(panel.updateSettings(), "m_brushTool != nullptr");
}
