// The colour and texture tables against what depends on them: distinct rows (the two greys one
// unit apart stay two colours) and a bundle picture for every texture row but "None".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "ColorValues.h"
#include "TextureValues.h"

TEST(ColorValues, RowsAreDistinctNamedColoursDividedBy255)
{
    std::set<std::string> names;
    std::set<std::tuple<int, int, int>> colours;
    for (const ColorValue& row : g_arColorValues) {
        names.insert(row.name);
        colours.insert({row.red, row.green, row.blue});
        EXPECT_TRUE(row.red >= 0 && row.red <= 255 && row.green >= 0 && row.green <= 255 && row.blue >= 0
                    && row.blue <= 255);
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(NUM_COLOR_VALUES));
    EXPECT_EQ(colours.size(), static_cast<std::size_t>(NUM_COLOR_VALUES));
    EXPECT_STREQ(g_arColorValues[0].name, "Black");
    EXPECT_STREQ(g_arColorValues[NUM_COLOR_VALUES - 1].name, "Mercury");
    const gfx::Color tin = ColorOfValue(g_arColorValues[14]);
    const gfx::Color nickel = ColorOfValue(g_arColorValues[15]);
    EXPECT_FLOAT_EQ(tin.red, static_cast<float>(127 / 255.0));
    EXPECT_NE(tin.red, nickel.red);
    EXPECT_EQ(tin.alpha, 1.0f);
}

TEST(TextureValues, EveryTextureButNoneIsABundlePicture)
{
    const char* env = std::getenv("KANVARO_RESOURCES");
    const std::string resources = env && *env ? env : KANVARO_SOURCE_DIR "/Resources";
    EXPECT_STREQ(g_arTextureValues[0], "None");
    for (int row = 1; row < NUM_TEXTURE_VALUES; ++row)
        EXPECT_TRUE(std::filesystem::is_regular_file(resources + "/" + g_arTextureValues[row] + ".png"))
            << g_arTextureValues[row];
}
