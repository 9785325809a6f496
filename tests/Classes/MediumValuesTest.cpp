// The medium table and applying a medium to the brush.
#include <gtest/gtest.h>

#include <string>

#include "BrushTool.h"
#include "Foundation/Bundle.h"
#include "MediumValues.h"

namespace {

class MediumValuesTest : public testing::Test {
protected:
    void SetUp() override { fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources"); }
    void TearDown() override { fnd::setResourcePath(""); }
    const MediumValue& medium(const std::string& name)
    {
        for (const MediumValue& m : g_arMediumValues)
            if (name == m.name)
                return m;
        ADD_FAILURE() << name;
        return g_arMediumValues[0];
    }
    BrushTool brush{nullptr};
};

} // namespace

TEST_F(MediumValuesTest, TableHoldsElevenPresetsInPickerOrder)
{
    ASSERT_EQ(NUM_MEDIUM_VALUES, 11);
    const char* names[] = {"Oil Paint", "Watercolor", "Pencil", "Airbrush",  "ScratchBoard", "Charcoal",
                           "Chalk",     "Pastel",     "Finger", "PenAndInk", "Calligraphy"};
    int airbrushRows = 0, sized = 0;
    for (int i = 0; i < NUM_MEDIUM_VALUES; ++i) {
        EXPECT_STREQ(g_arMediumValues[i].name, names[i]);
        EXPECT_EQ(g_arMediumValues[i].reserved1, nullptr);
        airbrushRows += g_arMediumValues[i].airbrush;
        sized += g_arMediumValues[i].size != -1;
    }
    EXPECT_EQ(airbrushRows, 1);
    EXPECT_EQ(sized, 2);
    EXPECT_STREQ(g_arMediumValues[0].shapeName, "Oil");
    EXPECT_EQ(g_arMediumValues[1].direction, 45.0f);
    EXPECT_EQ(g_arMediumValues[2].spacing, 0.05f);
    EXPECT_EQ(g_arMediumValues[5].opacity, 0.9f);
    EXPECT_EQ(g_arMediumValues[9].spacing, 1.5f);
}

TEST_F(MediumValuesTest, ApplyingSetsEveryStrokeSettingButKeepsColourAndUnsetSize)
{
    brush.setMode(BrushTool::kModePhoto);
    brush.setColor({0.2f, 0.4f, 0.6f, 1});
    ApplyMediumValue(brush, medium("PenAndInk"));
    EXPECT_EQ(brush.size(), 50);
    EXPECT_TRUE(brush.splatter());
    EXPECT_TRUE(brush.fixedDirection());
    EXPECT_FLOAT_EQ(brush.spacing(), 1.5f);

    ApplyMediumValue(brush, medium("Oil Paint"));
    EXPECT_EQ(brush.size(), 50); // -1 keeps the size
    EXPECT_EQ(brush.shapeName(), std::optional<std::string>("Oil"));
    EXPECT_FALSE(brush.splatter());
    EXPECT_FALSE(brush.fixedDirection());

    ApplyMediumValue(brush, medium("Airbrush"));
    EXPECT_TRUE(brush.airbrush());
    ApplyMediumValue(brush, medium("ScratchBoard"));
    EXPECT_EQ(brush.size(), 75);
    EXPECT_FALSE(brush.airbrush());
    EXPECT_FALSE(brush.addNoise());

    ApplyMediumValue(brush, medium("Watercolor"));
    EXPECT_FLOAT_EQ(brush.direction(), 45.0f);
    EXPECT_FLOAT_EQ(brush.opacity(), 0.5f);
    EXPECT_EQ(brush.mode(), BrushTool::kModePhoto);
    EXPECT_EQ(brush.color(), (gfx::Color{0.2f, 0.4f, 0.6f, 1}));
}

TEST_F(MediumValuesTest, InitialBrushIsOilAtSizeOneHundred)
{
    ApplyInitialMediumValue(brush);
    EXPECT_EQ(brush.shapeName(), std::optional<std::string>("Oil"));
    EXPECT_TRUE(brush.shapeMask());
    EXPECT_EQ(brush.size(), 100);
    EXPECT_FLOAT_EQ(brush.opacity(), 1.0f);
    EXPECT_FLOAT_EQ(brush.spacing(), 0.5f);
    EXPECT_TRUE(brush.addNoise());
    EXPECT_FALSE(brush.splatter() || brush.fixedDirection() || brush.airbrush());
    EXPECT_FLOAT_EQ(brush.direction(), 0.0f);
}
