// Shadows under drawing, and the sampling chosen when a picture is drawn smaller.
#include <gtest/gtest.h>

#include "Graphics/BitmapContext.h"
#include "Graphics/PixelFormat.h"

using namespace gfx;

TEST(Shadow, FallsByTheOffsetInUserSpaceAndBlurSoftensIt)
{
    // At scale 2 a 3-point offset moves the shadow 6 pixels; the shape itself stays on top.
    auto ctx = BitmapContext::create(60, 60);
    ctx->scale(2, 2);
    ctx->setShadow({3, 3}, 0, {0, 0, 1, 1});
    ctx->setFillColor({1, 0, 0, 1});
    ctx->fillRect(Rect(5, 5, 10, 10)); // device 10..30
    EXPECT_EQ(ctx->pixelAt(20, 20), 0xFFFF0000u);
    EXPECT_EQ(ctx->pixelAt(33, 33), 0xFF0000FFu); // shadow only: device 16..36
    EXPECT_EQ(ctx->pixelAt(37, 37), 0u);
    EXPECT_EQ(ctx->pixelAt(12, 33), 0u);

    // Blurred: the shadow's edge ramps instead of stepping, and reaches past the hard edge.
    auto soft = BitmapContext::create(60, 60);
    soft->scale(2, 2);
    soft->setShadow({0, 0}, 4, Color::black());
    soft->setFillColor(Color::black());
    soft->fillRect(Rect(10, 10, 10, 10)); // device 20..40
    soft->clearShadow();
    const int inside = alphaOf(soft->pixelAt(30, 30)), edge = alphaOf(soft->pixelAt(41, 30)),
              outer = alphaOf(soft->pixelAt(45, 30));
    EXPECT_EQ(inside, 255);
    EXPECT_GT(edge, 40);
    EXPECT_LT(edge, 200);
    EXPECT_GT(outer, 0);
    EXPECT_LT(outer, edge);
    EXPECT_EQ(alphaOf(soft->pixelAt(58, 30)), 0);
    soft->fillRect(Rect(0, 0, 1, 1)); // cleared: no shadow beside it
    EXPECT_EQ(soft->pixelAt(3, 3), 0u);
}

TEST(Shadow, CastIntoTheClipFromAShapeOutsideItAndFadesWithGlobalAlpha)
{
    auto ctx = BitmapContext::create(40, 20);
    ctx->clipToRect(Rect(20, 0, 20, 20));
    ctx->setAlpha(0.5);
    ctx->setShadow({10, 0}, 0, Color::black());
    ctx->setFillColor(Color::white());
    ctx->fillRect(Rect(12, 5, 6, 10)); // left of the clip; its shadow lands at 22..28
    EXPECT_EQ(ctx->pixelAt(15, 10), 0u);
    EXPECT_NEAR(alphaOf(ctx->pixelAt(25, 10)), 128, 1);
    EXPECT_EQ(ctx->pixelAt(30, 10), 0u);

    // The same inside a transparency layer, whose picture starts at the clip, not at the origin.
    auto layered = BitmapContext::create(40, 20);
    layered->clipToRect(Rect(20, 0, 20, 20));
    {
        TransparencyLayer layer(*layered, 1);
        layered->setShadow({10, 0}, 0, Color::black());
        layered->setFillColor(Color::white());
        layered->fillRect(Rect(12, 5, 6, 10));
    }
    EXPECT_EQ(layered->pixelAt(21, 10), 0u);
    EXPECT_EQ(layered->pixelAt(25, 10), 0xFF000000u);
    EXPECT_EQ(layered->pixelAt(29, 10), 0u);
}

TEST(ImageSampling, DrawnSmallerByTheTransformAveragesThinLines)
{
    // One-pixel black and white columns shrunk 8 times by the transform (the thumbnail case):
    // every pixel shows the average, none the black or white of a single column.
    auto stripes = BitmapContext::create(64, 64);
    stripes->setFillColor(Color::white());
    stripes->fillRect(stripes->bounds());
    stripes->setFillColor(Color::black());
    for (int x = 0; x < 64; x += 2)
        stripes->fillRect(Rect(x, 0, 1, 64));
    auto thumb = BitmapContext::create(8, 8);
    thumb->scale(1.0 / 8, 1.0 / 8);
    thumb->drawBitmap(Rect(0, 0, 64, 64), *stripes);
    for (int x = 1; x < 7; ++x)
        EXPECT_NEAR(redOf(thumb->pixelAt(x, 4)), 128, 24) << "x " << x;

    // Brush-like pictures drawn without interpolation keep hard pixels.
    auto hard = BitmapContext::create(8, 8);
    hard->scale(1.0 / 8, 1.0 / 8);
    hard->setImageInterpolation(false);
    hard->drawBitmap(Rect(0, 0, 64, 64), *stripes);
    const int level = redOf(hard->pixelAt(4, 4));
    EXPECT_TRUE(level == 0 || level == 255) << level;
}
