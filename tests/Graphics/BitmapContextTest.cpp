#include <gtest/gtest.h>

#include <cstring>

#include "Graphics/BitmapContext.h"
#include "Graphics/Layer.h"
#include "Graphics/PixelFormat.h"

using namespace gfx;

namespace {

// Probes compare within one colour level.
void expectPixel(const BitmapContext& ctx, int x, int y, std::uint32_t expected)
{
    std::uint32_t got = ctx.pixelAt(x, y);
    for (int shift = 0; shift < 32; shift += 8) {
        int a = static_cast<int>((got >> shift) & 0xFF), b = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_LE(std::abs(a - b), 1) << "pixel (" << x << ", " << y << ") is " << std::hex << got << " not "
                                      << expected;
    }
}

ImageMaskRef mask(int w, int h, std::initializer_list<std::uint8_t> samples)
{
    int rb = ImageMask::rowBytesFor(w);
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(rb) * h, 255);
    auto it = samples.begin();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            buf[static_cast<std::size_t>(y) * rb + x] = *it++;
    return ImageMask::create(w, h, rb, std::move(buf), false);
}

ImageRef image(int w, int h, std::initializer_list<std::uint32_t> words)
{
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(w) * h * 4);
    std::memcpy(bytes->data(), std::data(words), bytes->size());
    return Image::create(w, h, w * 4, Image::Alpha::Premultiplied, bytes);
}

} // namespace

TEST(BitmapContext, RefusesAbsurdSizesAndStartsTransparent)
{
    EXPECT_EQ(BitmapContext::create(0, 10), nullptr);
    EXPECT_EQ(BitmapContext::create(100000, 100000), nullptr);
    auto ctx = BitmapContext::create(8, 8);
    ASSERT_TRUE(ctx);
    expectPixel(*ctx, 3, 3, 0);
}

TEST(BitmapContext, FillUsesGlobalAlphaAndStateRestores)
{
    auto ctx = BitmapContext::create(8, 8);
    ctx->setFillColor({1, 0, 0, 1});
    {
        GStateSaver saver(*ctx);
        ctx->setAlpha(0.5);
        ctx->setFillColor({0, 0, 1, 1});
        ctx->translate(4, 0);
        ctx->fillRect({0, 0, 4, 4});
    }
    ctx->fillRect({0, 4, 4, 4});
    expectPixel(*ctx, 5, 1, 0x80000080); // half-transparent blue, premultiplied
    expectPixel(*ctx, 1, 5, 0xFFFF0000); // red again, untranslated, full alpha
    expectPixel(*ctx, 1, 1, 0);
}

TEST(BitmapContext, SourceAtopOnlyPaintsWhereDestinationHasAlpha)
{
    auto ctx = BitmapContext::create(8, 8);
    ctx->setFillColor(Color::white());
    ctx->fillRect({0, 0, 4, 8});
    ctx->setBlendMode(BlendMode::SourceAtop);
    ctx->setAlpha(0.15);
    ctx->setFillColor(Color::black());
    ctx->fillRect({0, 0, 8, 8});
    expectPixel(*ctx, 1, 1, 0xFFD9D9D9); // 85% white over opaque
    expectPixel(*ctx, 6, 1, 0);          // nothing where the destination is transparent
}

TEST(BitmapContext, ClearRectClearsAtFullStrengthThroughTheClip)
{
    auto ctx = BitmapContext::create(8, 8);
    ctx->setFillColor(Color::black());
    ctx->fillRect({0, 0, 8, 8});
    ctx->setAlpha(0.3);
    ctx->clipToRect({0, 0, 4, 8});
    ctx->clearRect({-1000, -1000, 9024, 9024});
    expectPixel(*ctx, 1, 1, 0);
    expectPixel(*ctx, 6, 1, 0xFF000000);
}

TEST(BitmapContext, MaskClipPlacesFirstRowAtTopWithNearestSamples)
{
    auto ctx = BitmapContext::create(8, 8);
    // 2 x 2 mask: top-left paints fully, top-right at 50%, bottom row not at all.
    ctx->clipToMask({0, 0, 8, 8}, mask(2, 2, {0, 128, 255, 255}));
    ctx->setFillColor(Color::black());
    ctx->fillRect({0, 0, 8, 8});
    expectPixel(*ctx, 0, 0, 0xFF000000);
    expectPixel(*ctx, 3, 3, 0xFF000000);
    expectPixel(*ctx, 4, 0, 0x7F000000); // coverage (255 - 128) / 255
    expectPixel(*ctx, 7, 3, 0x7F000000);
    expectPixel(*ctx, 0, 4, 0);
}

TEST(BitmapContext, MaskClipStaysWhereItWasPlacedWhenTheTransformChanges)
{
    auto ctx = BitmapContext::create(8, 8);
    ctx->translate(4, 0);
    ctx->clipToMask({0, 0, 4, 4}, mask(1, 1, {0}));
    ctx->translate(-4, 0);
    ctx->setFillColor(Color::black());
    ctx->fillRect({0, 0, 8, 8});
    expectPixel(*ctx, 5, 1, 0xFF000000);
    expectPixel(*ctx, 1, 1, 0);
    expectPixel(*ctx, 5, 5, 0);
}

TEST(BitmapContext, RotatedMaskClipTurnsClockwise)
{
    // A 1 x 2 mask (paint on top, none below) over a square turned by 90 degrees clockwise:
    // the painting half moves from the top to the right.
    auto ctx = BitmapContext::create(8, 8);
    ctx->translate(4, 4);
    ctx->rotate(M_PI / 2);
    ctx->clipToMask({-4, -4, 8, 8}, mask(1, 2, {0, 255}));
    ctx->setFillColor(Color::black());
    ctx->fillRect({-4, -4, 8, 8});
    expectPixel(*ctx, 6, 2, 0xFF000000);
    expectPixel(*ctx, 6, 6, 0xFF000000);
    expectPixel(*ctx, 1, 2, 0);
}

TEST(BitmapContext, MaskClipWithClearBlendKeepsTheUncoveredPart)
{
    auto ctx = BitmapContext::create(4, 4);
    ctx->setFillColor(Color::black());
    ctx->fillRect({0, 0, 4, 4});
    ctx->clipToMask({0, 0, 4, 4}, mask(2, 1, {0, 128}));
    ctx->clearRect({-1000, -1000, 9024, 9024});
    expectPixel(*ctx, 0, 0, 0);
    expectPixel(*ctx, 3, 0, 0x80000000); // keeps 1 - 127/255 of its paint
}

TEST(BitmapContext, DrawsImagesUprightAndTilesFromTheFirstTile)
{
    auto img = image(1, 2, {0xFFFF0000, 0xFF0000FF}); // red over blue
    auto ctx = BitmapContext::create(4, 8);
    ctx->drawImage({0, 0, 4, 4}, *img);
    expectPixel(*ctx, 2, 0, 0xFFFF0000);
    expectPixel(*ctx, 2, 3, 0xFF0000FF);
    expectPixel(*ctx, 2, 6, 0); // nothing outside the rectangle
    auto tiles = BitmapContext::create(4, 8);
    tiles->drawTiledImage({0, 1, 1, 2}, *img);
    expectPixel(*tiles, 3, 1, 0xFFFF0000);
    expectPixel(*tiles, 3, 2, 0xFF0000FF);
    expectPixel(*tiles, 0, 0, 0xFF0000FF); // the tile repeats upwards too
    expectPixel(*tiles, 0, 7, 0xFFFF0000);
}

TEST(BitmapContext, StraightImagesArePremultipliedWhenDrawn)
{
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(4);
    std::uint32_t word = 0x80FF0000; // half-transparent red, straight
    std::memcpy(bytes->data(), &word, 4);
    auto img = Image::create(1, 1, 4, Image::Alpha::Straight, bytes);
    auto ctx = BitmapContext::create(2, 2);
    ctx->drawImage({0, 0, 2, 2}, *img);
    expectPixel(*ctx, 1, 1, 0x80800000);
    EXPECT_NEAR(img->colorAt(0, 0).red, 1.0f, 1e-6);
}

TEST(BitmapContext, LayersCompositeAtGlobalAlphaAndImagesAreCopies)
{
    auto ctx = BitmapContext::create(4, 4);
    auto layer = Layer::create(*ctx, {4, 4});
    ASSERT_TRUE(layer);
    layer->context().setFillColor(Color::black());
    layer->context().fillRect({0, 0, 2, 4});
    ctx->setAlpha(0.5);
    ctx->drawLayer(Point{0, 0}, *layer);
    expectPixel(*ctx, 0, 0, 0x80000000);
    expectPixel(*ctx, 3, 0, 0);
    auto snapshot = ctx->makeImage();
    ctx->clearRect(ctx->bounds());
    EXPECT_EQ(snapshot->pixelAt(0, 0) >> 24, 0x80u);
    EXPECT_EQ(Layer::create(*ctx, {0, 4}), nullptr);
}

TEST(BitmapContext, PixelAccessChangesAreSeenByLaterDrawing)
{
    auto ctx = BitmapContext::create(2, 2);
    {
        BitmapContext::PixelAccess access(*ctx);
        access.row(1)[1] = 0xFF00FF00;
    }
    auto copy = BitmapContext::create(2, 2);
    copy->drawBitmap(copy->bounds(), *ctx);
    expectPixel(*copy, 1, 1, 0xFF00FF00);
}
