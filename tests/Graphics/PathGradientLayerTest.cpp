#include <gtest/gtest.h>

#include "Graphics/BitmapContext.h"
#include "Graphics/PixelFormat.h"

using namespace gfx;

namespace {
int channelOf(std::uint32_t word, int shift) { return static_cast<int>((word >> shift) & 0xFF); }
} // namespace

TEST(Path, RoundedRectLeavesCornersAndArcsStayOnTheCircle)
{
    auto ctx = BitmapContext::create(40, 30);
    ctx->setFillColor({0, 0, 0, 1});
    ctx->fillPath(Path::roundedRect(Rect(0, 0, 40, 30), 10));
    EXPECT_EQ(ctx->pixelAt(0, 0), 0u);
    EXPECT_EQ(ctx->pixelAt(39, 29), 0u);
    EXPECT_EQ(alphaOf(ctx->pixelAt(20, 15)), 255);
    EXPECT_EQ(alphaOf(ctx->pixelAt(20, 0)), 255);

    Path arc;
    arc.addArc({0, 0}, 10, 0, 3.14159265358979 / 2); // clockwise on screen: +x to +y
    const Path::Element& last = arc.elements().back();
    EXPECT_NEAR(last.points[2].x, 0, 1e-9);
    EXPECT_NEAR(last.points[2].y, 10, 1e-9);
    const Rect box = Path::ellipse(Rect(2, 3, 10, 20)).boundingBox();
    EXPECT_DOUBLE_EQ(box.minX(), 2);
    EXPECT_DOUBLE_EQ(box.maxY(), 23);
}

TEST(Gradient, LinearFillsTheClipFromStartToEndWithHardEdges)
{
    auto ctx = BitmapContext::create(8, 20);
    ctx->clipToPath(Path::rect(Rect(0, 0, 8, 10)));
    ctx->drawLinearGradient({{0, {1, 0, 0, 1}}, {0.5, {1, 0, 0, 1}}, {0.5, {0, 0, 1, 1}}, {1, {0, 0, 1, 1}}}, {0, 0},
                            {0, 10});
    EXPECT_EQ(ctx->pixelAt(4, 1), 0xFFFF0000u);
    EXPECT_EQ(ctx->pixelAt(4, 8), 0xFF0000FFu);
    EXPECT_EQ(ctx->pixelAt(4, 15), 0u); // outside the clip
}

TEST(TransparencyLayer, OverlapsDoNotShowThroughAndMaskFillsStayInTheLayer)
{
    auto ctx = BitmapContext::create(20, 10);
    {
        TransparencyLayer layer(*ctx, 0.5);
        ctx->setFillColor({0, 0, 0, 1});
        ctx->fillRect(Rect(0, 0, 12, 10));
        ctx->fillRect(Rect(8, 0, 12, 10));
        // A dab through the span kernel must land in the layer too, faded with it.
        std::vector<std::uint8_t> samples(4 * 4, 0);
        auto dab = ImageMask::create(4, 4, 4, std::move(samples), false);
        ctx->fillMask(dab, AffineTransform::scaling(4, 4).concat(AffineTransform::translation(14, 3)), {1, 0, 0, 1},
                      BlendMode::Normal);
    }
    const int single = channelOf(ctx->pixelAt(2, 5), 24), overlap = channelOf(ctx->pixelAt(10, 5), 24);
    EXPECT_NEAR(single, 128, 1);
    EXPECT_EQ(single, overlap);
    EXPECT_NEAR(channelOf(ctx->pixelAt(15, 5), 16), 128, 1); // red at half strength, premultiplied
    EXPECT_NEAR(channelOf(ctx->pixelAt(15, 5), 24), 128, 1);
}

TEST(BitmapContext, StrokePathUsesCapsAndJoins)
{
    auto ctx = BitmapContext::create(20, 10);
    ctx->setStrokeColor({0, 0, 0, 1});
    ctx->setLineWidth(4);
    Path line;
    line.moveTo({5, 5});
    line.lineTo({15, 5});
    ctx->strokePath(line);
    EXPECT_EQ(alphaOf(ctx->pixelAt(3, 5)), 0); // butt cap stops at the end point
    ctx->setLineCap(LineCap::Square);
    ctx->strokePath(line);
    EXPECT_EQ(alphaOf(ctx->pixelAt(3, 5)), 255);
}
