// Bundle images at the screen scale: the @2x variant above scale 1, @3x above 2, sizes in points.
#include <gtest/gtest.h>

#include "Foundation/Bundle.h"
#include "Graphics/NamedImages.h"
#include "Toolkit/ImageAsset.h"

namespace {

class ImageAssetTest : public ::testing::Test {
protected:
    void SetUp() override { fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources"); }
    void TearDown() override
    {
        ui::setScreenScale(1);
        ui::purgeImageAssets();
        gfx::purgeNamedImages();
        fnd::setResourcePath("");
    }
};

TEST_F(ImageAssetTest, ScalesPickTheFinerFilesWithTheSamePointSize)
{
    ui::ImageAssetRef single = ui::imageNamed("Brush.png");
    ASSERT_TRUE(single);
    EXPECT_EQ(single->scale, 1);
    ui::setScreenScale(1.5); // a window between the two: the finer file, drawn smaller
    ui::ImageAssetRef twice = ui::imageNamed("Brush.png");
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->scale, 2);
    EXPECT_EQ(twice->pixels->width(), 2 * single->pixels->width());
    EXPECT_EQ(twice->pointSize, single->pointSize);
    EXPECT_EQ(twice->name, "Brush.png");
    EXPECT_EQ(ui::imageNamed("Brush.png"), twice); // cached
    ui::setScreenScale(2.5);                       // a large window: the @3x file
    ui::ImageAssetRef thrice = ui::imageNamed("Brush.png");
    ASSERT_TRUE(thrice);
    EXPECT_EQ(thrice->scale, 3);
    EXPECT_EQ(thrice->pixels->width(), 3 * single->pixels->width());
    EXPECT_EQ(thrice->pointSize, single->pointSize);

    // A view keeps the asset it was given; after the window changes scale it draws the variant the
    // new scale wants, and back again. Made pictures are drawn as they are.
    EXPECT_EQ(&single->forCurrentScale(), thrice.get());
    ui::setScreenScale(1);
    EXPECT_EQ(&thrice->forCurrentScale(), single.get());
    ui::setScreenScale(2);
    EXPECT_EQ(&single->forCurrentScale(), twice.get());
    auto made = ui::ImageAsset::withImage(single->pixels, 1, "Brush.png");
    EXPECT_EQ(&made->forCurrentScale(), made.get());
}

TEST_F(ImageAssetTest, WithoutFinerFilesLargeScalesFallBackAndMissingNamesGiveNothing)
{
    ui::setScreenScale(2);
    ui::ImageAssetRef texture = ui::imageNamed("Canvas.png"); // textures have no @2x file
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->scale, 1);
    ui::setScreenScale(3);
    EXPECT_EQ(ui::imageNamed("Canvas.png")->scale, 1);
    EXPECT_FALSE(ui::imageNamed("NoSuchPicture.png"));
    EXPECT_FALSE(ui::imageNamed("../Resources/Brush.png"));
    ui::setScreenScale(-3); // ignored
    EXPECT_EQ(ui::screenScale(), 3);
    EXPECT_FALSE(ui::ImageAsset::withImage(texture->pixels, 0));
}

} // namespace
