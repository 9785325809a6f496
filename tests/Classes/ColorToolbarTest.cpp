// The colour panel: its opening look follows the document, a colour tints the glob and puts the
// brush in freehand paint, "Photo Paint" keeps the freehand colour, opacity never reaches 0.
#include <gtest/gtest.h>

#include <cstdlib>

#include "BrushTool.h"
#include "ColorToolbar.h"
#include "ColorValues.h"
#include "DataModel.h"
#include "Graphics/PixelFormat.h"
#include "PaintingFixtures.h"
#include "Toolkit/ImageAsset.h"

namespace {

struct ColorToolbarTest : ::testing::Test {
    void TearDown() override { DataModel::releaseSharedDataModel(); }
};

// The glob picture's centre pixel, straight alpha.
gfx::Color globCentre(const ui::ImageAsset& glob)
{
    return glob.pixels->colorAt(glob.pixels->width() / 2, glob.pixels->height() / 2);
}

} // namespace

TEST_F(ColorToolbarTest, BlankCanvasStartsWithTheGlobInTheBrushColourAndSkyTintsIt)
{
    ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas());
    BrushTool brush(nullptr);
    brush.setMode(BrushTool::kModeFreehand);
    ColorToolbar panel(gfx::Rect(0, 350, 320, 66), nullptr, &brush);
    ui::Button& button = *panel.colorPickerBtn();
    EXPECT_FALSE(button.isSelected());
    ui::ImageAssetRef glob = button.imageForState(ui::ControlState::Normal);
    ASSERT_TRUE(glob);
    EXPECT_NEAR(globCentre(*glob).red, 0, 0.01);
    EXPECT_NEAR(globCentre(*glob).alpha, 1, 0.01);
    EXPECT_EQ(gfx::alphaOf(glob->pixels->pixelAt(0, 0)), 0u); // outside the blob stays clear
    // The tinted blob has the picture's shape the right way up, row for row.
    const ui::ImageAsset& shape = button.imageForState(ui::ControlState::Disabled)->forCurrentScale();
    ASSERT_EQ(shape.pixels->height(), glob->pixels->height());
    int mismatched = 0;
    for (int y = 0; y < shape.pixels->height(); ++y)
        for (int x = 0; x < shape.pixels->width(); ++x)
            mismatched += std::abs(int(gfx::alphaOf(shape.pixels->pixelAt(x, y)))
                                   - int(gfx::alphaOf(glob->pixels->pixelAt(x, y))))
                          > 8;
    EXPECT_EQ(mismatched, 0);

    panel.colorPickerViewControllerDidPickColor(nullptr, ColorOfValue(g_arColorValues[5])); // "Sky"
    EXPECT_EQ(brush.mode(), BrushTool::kModeFreehand);
    EXPECT_FLOAT_EQ(brush.color().red, 0.4f);
    EXPECT_FLOAT_EQ(brush.color().green, 0.8f);
    EXPECT_FLOAT_EQ(brush.color().blue, 1.0f);
    glob = button.imageForState(ui::ControlState::Normal);
    EXPECT_NEAR(globCentre(*glob).green, 0.8, 0.01);
    EXPECT_NEAR(globCentre(*glob).blue, 1.0, 0.01);

    panel.colorPickerViewControllerDidPickColor(nullptr, std::nullopt); // "Photo Paint"
    EXPECT_EQ(brush.mode(), BrushTool::kModePhoto);
    EXPECT_TRUE(button.isSelected());
    EXPECT_FLOAT_EQ(brush.color().red, 0.4f);
    EXPECT_EQ(button.imageForState(ui::ControlState::Normal), glob);
}

TEST_F(ColorToolbarTest, PhotoDocumentShowsTheSwirlAndOpacityStaysAboveZero)
{
    ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(testing::makePhoto(40, 30)));
    BrushTool brush(nullptr);
    ColorToolbar panel(gfx::Rect(0, 350, 320, 66), nullptr, &brush);
    EXPECT_TRUE(panel.colorPickerBtn()->isSelected());
    ui::Slider& slider = *panel.opacitySlider();
    slider.setValue(0);
    slider.sendActionsForControlEvents(ui::ControlEvent::ValueChanged);
    EXPECT_FLOAT_EQ(brush.opacity(), 0.1f);
    brush.setOpacity(0.7f);
    panel.updateSettings();
    EXPECT_FLOAT_EQ(slider.value(), 0.7f);
}
