// The paper page's rows: check marks follow the selection ("None" for no texture, colours only
// on an exact red, green and blue match), texture pictures are cut to their top-left corner.
#include <gtest/gtest.h>

#include "Support/TempFolder.h"

#include <cmath>
#include <fstream>

#include "ColorValues.h"
#include "Foundation/Bundle.h"
#include "Graphics/NamedImages.h"
#include "ImageIO/Encoder.h"
#include "PaintingFixtures.h"
#include "PaperSettingsController.h"
#include "TextureValues.h"

namespace {

using Accessory = ui::TableViewCellAccessoryType;
constexpr int kTexturesSection = 0, kColorsSection = 1;

// A picture whose grey level tells where each pixel came from: 3 per column, 5 per row.
void writeTexture(const std::filesystem::path& dir, const std::string& name, int w, int h)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(3 * x + 5 * y);
            p[3] = 255;
        }
    auto png = imageio::encodePng({pixels.data(), w, h, w * 4, false});
    ASSERT_TRUE(png.ok());
    std::ofstream(dir / (name + ".png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
}

class PaperPageTest : public ::testing::Test {
protected:
    void SetUp() override { page.view()->layoutIfNeeded(); }
    ui::TableViewCellRef cell(int section, int row)
    {
        return page.tableViewCellForRowAtIndexPath(*page.tableView(), {section, row});
    }
    std::vector<std::string> checkedRows(int section)
    {
        std::vector<std::string> checked;
        for (int row = 0; row < page.tableView()->numberOfRowsInSection(section); ++row)
            if (auto c = cell(section, row); c->accessoryType() == Accessory::Checkmark)
                checked.push_back(c->text());
        return checked;
    }
    PaperSettingsController page{std::nullopt, gfx::Color::white()};
};

} // namespace

TEST_F(PaperPageTest, CheckMarksFollowTheTextureAndOnlyAnExactColour)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(checkedRows(kTexturesSection), Names{"None"});
    EXPECT_EQ(checkedRows(kColorsSection), Names{"White"});
    page.tableViewDidSelectRowAtIndexPath(*page.tableView(), {kTexturesSection, 2});
    page.tableViewDidSelectRowAtIndexPath(*page.tableView(), {kColorsSection, 14});
    EXPECT_EQ(page.selectedTextureName(), std::optional<std::string>("Brick"));
    EXPECT_EQ(checkedRows(kTexturesSection), Names{"Brick"});
    EXPECT_EQ(checkedRows(kColorsSection), Names{"Tin"}); // not "Nickel", one unit away

    // The smallest step in red, green or blue leaves every row unchecked; alpha does not count.
    const gfx::Color sky = ColorOfValue(g_arColorValues[5]);
    for (float gfx::Color::*component : {&gfx::Color::red, &gfx::Color::green, &gfx::Color::blue}) {
        gfx::Color near = sky;
        near.*component = std::nextafter(near.*component, 0.0f);
        EXPECT_FALSE(ColorsAreEqual(near, sky));
        page.setSelectedColor(near);
        EXPECT_TRUE(checkedRows(kColorsSection).empty());
    }
    page.setSelectedColor({sky.red, sky.green, sky.blue, 0.3f});
    EXPECT_EQ(checkedRows(kColorsSection), Names{"Sky"});
}

TEST_F(PaperPageTest, OnlyTheWhiteSwatchHasAGreyEdge)
{
    for (int row = 0; row < NUM_COLOR_VALUES; ++row) {
        const ColorValue& value = g_arColorValues[row];
        auto c = cell(kColorsSection, row);
        ASSERT_TRUE(c->image()) << value.name;
        const gfx::Color fill = ColorOfValue(value), edge = c->image()->pixels->colorAt(0, 0);
        if (std::string(value.name) == "White")
            EXPECT_LT(edge.red, 0.9);
        else
            EXPECT_NEAR(edge.red, fill.red, 0.01) << value.name;
    }
}

TEST_F(PaperPageTest, TexturePicturesAreCutToTheirTopLeftCorner)
{
    const test_support::TempFolder folder("paper-textures");
    const auto& dir = folder.path();
    writeTexture(dir, g_arTextureValues[1], 24, 24);
    writeTexture(dir, g_arTextureValues[2], 64, 20);
    writeTexture(dir, g_arTextureValues[3], 30, 40);
    fnd::setResourcePath(dir.string());
    gfx::purgeNamedImages();

    EXPECT_FALSE(cell(kTexturesSection, 0)->image()); // "None"
    const gfx::ImageRef whole = cell(kTexturesSection, 1)->image()->pixels;
    EXPECT_EQ(whole->width(), 24);
    EXPECT_EQ(whole->height(), 24);
    const gfx::ImageRef wide = cell(kTexturesSection, 2)->image()->pixels;
    EXPECT_EQ(wide->width(), 26);
    EXPECT_EQ(wide->height(), 20);
    EXPECT_NEAR(wide->colorAt(25, 19).red * 255, 3 * 25 + 5 * 19, 1);
    const gfx::ImageRef tall = cell(kTexturesSection, 3)->image()->pixels;
    EXPECT_EQ(tall->width(), 26);
    EXPECT_EQ(tall->height(), 26);
    EXPECT_NEAR(tall->colorAt(0, 25).red * 255, 5 * 25, 1); // the top rows, not the bottom ones
    EXPECT_FALSE(cell(kTexturesSection, 4)->image());       // missing from the folder: no picture, no crash

    fnd::setResourcePath("");
    gfx::purgeNamedImages();
}
