#include <gtest/gtest.h>

#include "Graphics/Geometry.h"

using namespace gfx;

TEST(Rect, UnionIgnoresEmptyAndIntersectionOfDisjointIsEmpty)
{
    Rect a(0, 0, 10, 10), b(5, 5, 10, 2);
    EXPECT_EQ(a.united(b), Rect(0, 0, 15, 10));
    EXPECT_EQ(Rect().united(b), b);
    EXPECT_EQ(a.intersected(b), Rect(5, 5, 5, 2));
    EXPECT_TRUE(a.intersected(Rect(20, 20, 1, 1)).isEmpty());
    // Negative sizes are normalised before combining.
    EXPECT_EQ(Rect(10, 10, -5, -5).united(Rect(0, 0, 1, 1)), Rect(0, 0, 10, 10));
}

TEST(Rect, IntegralGrowsOutwardToWholePixels)
{
    EXPECT_EQ(Rect(0.5, 1.2, 2, 2).integral(), Rect(0, 1, 3, 3));
    EXPECT_EQ(Rect(-0.5, -0.5, 1, 1).integral(), Rect(-1, -1, 2, 2));
    EXPECT_EQ(pixelBounds(Rect(-5, 3.5, 10, 100), 8, 8), (IntRect{0, 3, 5, 5}));
}

TEST(AffineTransform, ConcatAppliesLeftOperandFirst)
{
    auto t = AffineTransform::translation(10, 0).concat(AffineTransform::scaling(2, 2));
    EXPECT_EQ(t.apply(Point{1, 1}), (Point{22, 2}));
    // Context-style prepending: scale applies to coordinates before the existing translation.
    auto u = AffineTransform::translation(10, 0).scaled(2, 2);
    EXPECT_EQ(u.apply(Point{1, 1}), (Point{12, 2}));
}

TEST(AffineTransform, RotationIsClockwiseOnAYDownScreenAndInvertRoundTrips)
{
    auto r = AffineTransform::rotation(M_PI / 2);
    Point p = r.apply(Point{1, 0});
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12); // +x turns towards +y (down)
    auto t = AffineTransform{2, 1, -1, 3, 5, -7};
    Point q = t.inverted().apply(t.apply(Point{3, 4}));
    EXPECT_NEAR(q.x, 3, 1e-12);
    EXPECT_NEAR(q.y, 4, 1e-12);
    EXPECT_EQ(AffineTransform::scaling(0, 1).inverted(), AffineTransform::scaling(0, 1));
}

TEST(AffineTransform, AppliedToRectGivesBoundingBox)
{
    Rect r = AffineTransform::rotation(M_PI / 2).apply(Rect(0, 0, 4, 2));
    EXPECT_NEAR(r.x(), -2, 1e-12);
    EXPECT_NEAR(r.width(), 2, 1e-12);
    EXPECT_NEAR(r.height(), 4, 1e-12);
}
