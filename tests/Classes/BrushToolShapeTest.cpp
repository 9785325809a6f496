// Brush shapes loaded from PNG files into masks, and the preview silhouette.
#include <fstream>

#include "BrushToolSupport.h"
#include "Foundation/Bundle.h"
#include "ImageIO/Encoder.h"
#include "MediumValues.h"

using namespace testing;

namespace {

// Writes a grey picture (grey(x, y) in every colour channel) as dir/name.png.
template <typename Grey>
void writeShape(const std::filesystem::path& dir, const std::string& name, int w, int h, Grey grey)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = p[1] = p[2] = grey(x, y);
            p[3] = 255;
        }
    auto png = imageio::encodePng({pixels.data(), w, h, w * 4, false});
    ASSERT_TRUE(png.ok());
    std::ofstream(dir / (name + ".png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
}

class BrushShapeTest : public BrushToolTest {
protected:
    void SetUp() override
    {
        BrushToolTest::SetUp();
        fnd::setResourcePath(dir.string());
    }
    void TearDown() override
    {
        fnd::setResourcePath("");
        BrushToolTest::TearDown();
    }
    test_support::TempFolder tempFolder{"kanvaro-brush-shapes"};
    std::filesystem::path dir = tempFolder.path();
};

} // namespace

TEST_F(BrushShapeTest, LoadsGreyLevelsIntoPaddedRows)
{
    writeShape(dir, "Dots", 30, 30, [](int x, int y) {
        return static_cast<std::uint8_t>(x == 0 ? 0 : x == 1 ? 128 : y == 29 ? 7 : 255);
    });
    brush->setShapeName("Dots");
    ASSERT_TRUE(brush->shapeMask());
    const gfx::ImageMask& mask = *brush->shapeMask();
    EXPECT_EQ(mask.width(), 30);
    EXPECT_EQ(mask.height(), 30);
    EXPECT_EQ(mask.rowBytes(), 32);
    EXPECT_FALSE(mask.interpolate());
    EXPECT_EQ(mask.coverageAt(0, 5), 255); // black paints fully
    EXPECT_EQ(mask.coverageAt(1, 5), 127); // mid-grey 128 paints at 127/255
    EXPECT_EQ(mask.coverageAt(20, 5), 0);  // white not at all
    EXPECT_EQ(mask.sampleAt(20, 29), 7);
    EXPECT_EQ(brush->shapeName(), std::optional<std::string>("Dots"));
}

TEST_F(BrushShapeTest, FailedLoadLeavesNoMaskAndKeepsTheName)
{
    writeShape(dir, "Good", 8, 8, [](int, int) { return std::uint8_t{0}; });
    std::ofstream(dir / "Broken.png") << "not a picture";
    brush->setShapeName("Good");
    for (const char* name : {"Missing", "Broken"}) {
        brush->setShapeName(name);
        EXPECT_FALSE(brush->shapeMask()) << name;
        EXPECT_EQ(brush->shapeName(), std::optional<std::string>("Good")) << name;
    }
    // Without a mask a dab paints nothing, and the preview is empty.
    brush->drawBrushShapeAt({100, 100});
    EXPECT_TRUE(paintedStrokes().empty());
    auto preview = brush->createPreviewImage();
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->pixelAt(18, 18), 0u);
}

TEST_F(BrushShapeTest, PreviewShowsTheMaskMirroredTopToBottom)
{
    writeShape(dir, "HalfBlack", 20, 20, [](int, int y) { return static_cast<std::uint8_t>(y < 10 ? 0 : 255); });
    brush->setShapeName("HalfBlack");
    auto preview = brush->createPreviewImage();
    ASSERT_TRUE(preview);
    ASSERT_EQ(preview->width(), BrushTool::kPreviewSide);
    ASSERT_EQ(preview->height(), BrushTool::kPreviewSide);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 36; ++x)
            ASSERT_EQ(preview->pixelAt(x, y), y >= 18 ? 0xFFFFFFFFu : 0u) << x << ", " << y;
}

TEST(BrushBundleShapes, EveryMediumShapeLoads)
{
    fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
    BrushTool brush(nullptr);
    for (const MediumValue& medium : g_arMediumValues) {
        brush.setShapeName(medium.shapeName);
        ASSERT_TRUE(brush.shapeMask()) << medium.shapeName;
        // Dark shapes on white: the border paints nothing, the middle does.
        const gfx::ImageMask& mask = *brush.shapeMask();
        EXPECT_EQ(mask.coverageAt(0, 0), 0) << medium.shapeName;
    }
    fnd::setResourcePath("");
}
