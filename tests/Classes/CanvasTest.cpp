#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Canvas.h"
#include "Foundation/Bundle.h"
#include "Graphics/NamedImages.h"
#include "Graphics/PixelFormat.h"
#include "ImageIO/Encoder.h"
#include "Support/TempFolder.h"

using gfx::Color;

namespace {

void paint(gfx::Layer& layer, const gfx::Rect& r, const Color& c = Color::black())
{
    layer.context().setFillColor(c);
    layer.context().fillRect(r);
}

std::uint32_t compositePixel(Canvas& canvas, int x, int y)
{
    auto image = canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
    return image->pixelAt(x, y);
}

int grey(std::uint32_t p) { return static_cast<int>(gfx::redOf(p)); }

} // namespace

TEST(Canvas, SizesForBlankAndPhotoCanvases)
{
    auto blank = Canvas::initBlank();
    EXPECT_EQ(blank->width(), 712);
    EXPECT_EQ(blank->height(), 1024);
    auto landscape = Canvas::initWithPhotoSize(1600, 1200);
    EXPECT_EQ(landscape->width(), 1024);
    EXPECT_EQ(landscape->height(), 768);
    auto portrait = Canvas::initWithPhotoSize(1200, 1600);
    EXPECT_EQ(portrait->width(), 768);
    EXPECT_EQ(portrait->height(), 1024);
    auto square = Canvas::initWithPhotoSize(1000, 1000);
    EXPECT_EQ(square->width(), 1024);
    EXPECT_EQ(square->height(), 1024);
    // A sliver whose short side truncates to nothing, and nonsense sizes, make no canvas.
    EXPECT_EQ(Canvas::initWithPhotoSize(5000, 1), nullptr);
    EXPECT_EQ(Canvas::initWithPhotoSize(0, 10), nullptr);
    EXPECT_EQ(Canvas::initWithSize(100000, 100000), nullptr);
}

TEST(Canvas, ThumbnailSizesAndUprightOrientation)
{
    auto canvas = Canvas::initBlank();
    auto thumb = canvas->createThumbnail(120);
    EXPECT_EQ(thumb->width(), 83);
    EXPECT_EQ(thumb->height(), 120);
    // A mark at the top of the canvas is at the top of its image.
    paint(canvas->curStrokeLayer(), {0, 0, 712, 10});
    auto full = canvas->createThumbnail(1024, false);
    EXPECT_EQ(full->width(), 712);
    EXPECT_EQ(gfx::alphaOf(full->pixelAt(5, 5)), 255u);
    EXPECT_EQ(gfx::alphaOf(full->pixelAt(5, 1000)), 0u);
}

TEST(Canvas, CompositeAppliesStrokeOpacityOnceToTheWholeGroup)
{
    auto canvas = Canvas::initWithSize(20, 10);
    canvas->setCurStrokeOpacity(0.5f);
    // Two overlapping opaque dabs of one group: the overlap is no darker than a single dab.
    paint(canvas->curStrokeLayer(), {0, 0, 10, 10});
    paint(canvas->curStrokeLayer(), {5, 0, 10, 10});
    EXPECT_NEAR(grey(compositePixel(*canvas, 2, 2)), 128, 1);
    EXPECT_NEAR(grey(compositePixel(*canvas, 7, 2)), 128, 1);
    EXPECT_EQ(grey(compositePixel(*canvas, 18, 2)), 255);
}

TEST(Canvas, UndoRemovesTheLastClosedGroupAndEverythingSince)
{
    auto canvas = Canvas::initWithSize(30, 10);
    paint(canvas->curStrokeLayer(), {0, 0, 10, 10});  // stroke A
    canvas->saveUndoState();                          // A's snapshot
    paint(canvas->curStrokeLayer(), {10, 0, 10, 10}); // stroke B, undone before its snapshot
    canvas->undo();
    EXPECT_EQ(grey(compositePixel(*canvas, 5, 5)), 255);
    EXPECT_EQ(grey(compositePixel(*canvas, 15, 5)), 255);

    paint(canvas->curStrokeLayer(), {0, 0, 10, 10}); // A again
    canvas->saveUndoState();
    paint(canvas->curStrokeLayer(), {10, 0, 10, 10}); // B
    canvas->saveUndoState();                          // B's snapshot commits A
    canvas->undo();
    EXPECT_EQ(grey(compositePixel(*canvas, 5, 5)), 0);
    EXPECT_EQ(grey(compositePixel(*canvas, 15, 5)), 255);
    canvas->undo(); // one level only
    EXPECT_EQ(grey(compositePixel(*canvas, 5, 5)), 0);
}

TEST(Canvas, SnapshotKeepsTheGroupsOpacityAndDoesNotChangeTheComposite)
{
    auto canvas = Canvas::initWithSize(10, 10);
    canvas->setCurStrokeOpacity(0.5f);
    paint(canvas->curStrokeLayer(), {0, 0, 10, 10});
    auto before = compositePixel(*canvas, 5, 5);
    canvas->saveUndoState();
    EXPECT_FLOAT_EQ(canvas->prevStrokeOpacity(), 0.5f);
    canvas->setCurStrokeOpacity(1.0f);
    EXPECT_EQ(compositePixel(*canvas, 5, 5), before);
    canvas->saveUndoState(); // committed into the bitmap at the group's opacity
    EXPECT_NEAR(grey(compositePixel(*canvas, 5, 5)), grey(before), 1);
}

TEST(Canvas, FlattenCommitsBothLayersSoUndoChangesNothing)
{
    auto canvas = Canvas::initWithSize(20, 10);
    paint(canvas->curStrokeLayer(), {0, 0, 10, 10});
    canvas->saveUndoState();
    paint(canvas->curStrokeLayer(), {10, 0, 10, 10});
    canvas->flatten();
    canvas->undo();
    EXPECT_EQ(grey(compositePixel(*canvas, 5, 5)), 0);
    EXPECT_EQ(grey(compositePixel(*canvas, 15, 5)), 0);
}

class CanvasWithTexture : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A 2 x 2 black tile is enough to see the texture at 15%.
        auto tile = gfx::BitmapContext::create(2, 2);
        tile->setFillColor(Color::black());
        tile->fillRect({0, 0, 2, 1}); // top row black, bottom row transparent
        writeTile(*tile, dir / "Test.png");
        fnd::setResourcePath(dir.string());
        gfx::purgeNamedImages();
    }
    void TearDown() override
    {
        fnd::setResourcePath("");
        gfx::purgeNamedImages();
    }
    static void writeTile(const gfx::BitmapContext& ctx, const std::filesystem::path& path);
    test_support::TempFolder tempFolder{"kanvaro-canvas"};
    std::filesystem::path dir = tempFolder.path();
};

TEST_F(CanvasWithTexture, TextureShowsAtFifteenPercentOverThePaperOnlyWithBackground)
{
    auto canvas = Canvas::initWithSize(4, 4);
    canvas->setTextureName("Test");
    ASSERT_NE(canvas->textureLayer(), nullptr);
    auto with = canvas->createThumbnail(4, true);
    auto without = canvas->createThumbnail(4, false);
    // Tiles are flipped: the tile's first (black) row lies along its larger-y edge.
    EXPECT_NEAR(gfx::redOf(with->pixelAt(0, 1)), 217, 1); // 85% white
    EXPECT_EQ(gfx::redOf(with->pixelAt(0, 0)), 255u);
    EXPECT_NEAR(gfx::redOf(with->pixelAt(0, 3)), 217, 1);
    EXPECT_EQ(without->pixelAt(0, 1), 0u);
    // Clearing keeps paper and texture.
    canvas->setBackgroundColor({1, 0, 0, 1});
    canvas->clear();
    auto cleared = canvas->createThumbnail(4, true);
    EXPECT_NEAR(gfx::redOf(cleared->pixelAt(0, 1)), 217, 1);
    EXPECT_EQ(gfx::greenOf(cleared->pixelAt(0, 0)), 0u);
    EXPECT_TRUE(canvas->textureName().has_value());
    // The screen composite through the cache gives the same pixels as the plain one.
    canvas->setBackgroundColor({0.3f, 0.6f, 0.9f, 1});
    canvas->curStrokeLayer().context().setFillColor({1, 0.5f, 0, 0.8f});
    canvas->curStrokeLayer().context().fillRect({1, 1, 2, 2});
    canvas->setCurStrokeOpacity(0.55f);
    auto screen = gfx::BitmapContext::create(4, 4);
    canvas->drawComposite(*screen, canvas->bounds());
    auto plain = canvas->createThumbnail(4, true);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(screen->pixelAt(x, y), plain->pixelAt(x, y)) << x << ", " << y;
    canvas->setBackgroundColor({1, 0, 0, 1});
    // A texture without a picture shows nothing.
    canvas->setTextureName("Missing");
    EXPECT_EQ(canvas->createThumbnail(4, true)->pixelAt(0, 3), 0xFFFF0000u);
}

TEST(Canvas, CachedScreenCompositeEqualsThePlainComposite)
{
    auto canvas = Canvas::initWithSize(16, 16);
    canvas->setBackgroundColor({0.2f, 0.4f, 0.6f, 1});
    paint(canvas->curStrokeLayer(), {0, 0, 8, 8}, {1, 0, 0, 0.7f});
    canvas->setCurStrokeOpacity(0.6f);
    canvas->saveUndoState();
    paint(canvas->curStrokeLayer(), {4, 4, 8, 8}, {0, 1, 0, 1});
    canvas->setCurStrokeOpacity(0.3f);
    auto screen = gfx::BitmapContext::create(16, 16);
    canvas->drawComposite(*screen, canvas->bounds());
    // The eraser draws straight into the painting bitmap and reports it.
    canvas->paintingContext().clearRect({0, 0, 2, 2});
    canvas->paintingDidChange({0, 0, 2, 2});
    canvas->drawComposite(*screen, {0, 0, 4, 4});
    auto plain = canvas->createThumbnail(16, true);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(screen->pixelAt(x, y), plain->pixelAt(x, y)) << x << ", " << y;
}

void CanvasWithTexture::writeTile(const gfx::BitmapContext& ctx, const std::filesystem::path& path)
{
    imageio::PixelsView view{ctx.constData(), ctx.width(), ctx.height(), ctx.bytesPerRow(), true};
    auto png = imageio::encodePng(view);
    ASSERT_TRUE(png.ok()) << png.error();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.value().data()), static_cast<std::streamsize>(png.value().size()));
}
