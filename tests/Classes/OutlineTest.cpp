// The blueprint outline of a raw image: the vectorised extraction against a plain per-pixel
// reference, and the sample values of simple pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

#include "RawImage.h"

namespace {

using PixelFn = std::function<std::uint32_t(int x, int y)>; // 0xAARRGGBB

std::unique_ptr<RawImage> makeRawImage(int w, int h, const PixelFn& pixel)
{
    auto image = RawImage::initWithWidth(w, h);
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(image->pixels()->size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            CColor{pixel(x, y)}.Store(pixels->data() + static_cast<std::size_t>(y) * image->rb() + x * 4);
    image->setPixels(std::move(pixels));
    return image;
}

std::uint32_t grey(int v) { return 0xFF000000u | static_cast<std::uint32_t>(v * 0x010101); }

// The extraction written the obvious way: eight clamped neighbours per pixel.
std::uint8_t referenceSample(const RawImage& image, int x, int y)
{
    const int w = image.width(), h = image.height();
    const int l = std::max(x - 1, 0), r = std::min(x + 1, w - 1);
    const int t = std::max(y - 1, 0), b = std::min(y + 1, h - 1);
    const int shifts[3] = {16, 8, 0};
    int sum = 0;
    for (int shift : shifts) {
        auto c = [&](int px, int py) { return static_cast<int>((image.pixelAtX(px, py).value >> shift) & 0xFF); };
        int d = std::max({std::abs(c(l, t) - c(r, b)), std::abs(c(x, t) - c(x, b)), std::abs(c(r, t) - c(l, b)),
                          std::abs(c(l, y) - c(r, y))});
        sum += d;
    }
    const float e = static_cast<float>(sum) / 3.0f;
    return static_cast<std::uint8_t>(~static_cast<unsigned>(e));
}

void expectMatchesReference(const RawImage& image)
{
    gfx::ImageMaskRef mask = image.createCompatibleImageOutline();
    ASSERT_TRUE(mask);
    ASSERT_EQ(mask->width(), image.width());
    ASSERT_EQ(mask->height(), image.height());
    EXPECT_EQ(mask->rowBytes(), (image.width() + 3) & ~3);
    EXPECT_FALSE(mask->interpolate());
    int mismatches = 0;
    for (int y = 0; y < image.height() && mismatches < 5; ++y)
        for (int x = 0; x < image.width() && mismatches < 5; ++x)
            if (mask->sampleAt(x, y) != referenceSample(image, x, y)) {
                ADD_FAILURE() << image.width() << " x " << image.height() << " at (" << x << ", " << y
                              << "): " << int(mask->sampleAt(x, y)) << " vs " << int(referenceSample(image, x, y));
                ++mismatches;
            }
}

TEST(Outline, MatchesThePlainReferenceOnRandomPhotosOfOddSizes)
{
    std::mt19937 rng(7);
    const int sizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {1, 9}, {9, 1}, {5, 5}, {17, 4}, {33, 7}, {1022, 5}, {67, 61}};
    for (const auto& size : sizes) {
        auto image = makeRawImage(size[0], size[1], [&](int, int) { return static_cast<std::uint32_t>(rng()); });
        expectMatchesReference(*image);
    }
}

TEST(Outline, MatchesTheReferenceOnSmoothPhotosWithEveryChannelSum)
{
    // Gradients and steps give every sum 0..765 somewhere, so the division by three is checked whole.
    auto image = makeRawImage(300, 40, [](int x, int y) {
        const int v = (x * 7 + y * 13) % 256;
        return 0xFF000000u | static_cast<std::uint32_t>((v << 16) | (((v * 3) & 255) << 8) | ((x * y) & 255));
    });
    expectMatchesReference(*image);
}

TEST(Outline, FlatColourPaintsNothing)
{
    auto image = makeRawImage(13, 7, [](int, int) { return 0xFF3C7A11u; });
    gfx::ImageMaskRef mask = image->createCompatibleImageOutline();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(mask->sampleAt(x, y), 255);
}

TEST(Outline, LoneWhitePixelMarksItsNeighboursButNotItself)
{
    auto image = makeRawImage(11, 11, [](int x, int y) { return x == 5 && y == 5 ? grey(255) : grey(0); });
    gfx::ImageMaskRef mask = image->createCompatibleImageOutline();
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x) {
            const bool neighbour = std::abs(x - 5) <= 1 && std::abs(y - 5) <= 1 && !(x == 5 && y == 5);
            EXPECT_EQ(mask->sampleAt(x, y), neighbour ? 0 : 255) << x << ", " << y;
        }
}

TEST(Outline, VerticalStepMarksTheTwoColumnsBesideIt)
{
    auto image = makeRawImage(20, 6, [](int x, int) { return grey(x < 10 ? 100 : 160); });
    gfx::ImageMaskRef mask = image->createCompatibleImageOutline();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(mask->sampleAt(x, y), x == 9 || x == 10 ? 195 : 255) << x << ", " << y;
}

TEST(Outline, ChannelStepsAverageTheThreeColourChannelsAndIgnoreAlpha)
{
    struct Case {
        std::uint32_t left, right;
        int sample;
    };
    const Case cases[] = {
        {0xFF000000u, 0xFF5A0000u, 225}, // red alone, 90: E = 30
        {0xFF101010u, 0xFF111111u, 254}, // 1 in each channel: E = 1
        {0xFF101010u, 0xFF101110u, 255}, // 1 in one channel: E = 0
        {0x00808080u, 0xFF808080u, 255}, // alpha alone
    };
    for (const Case& c : cases) {
        auto image = makeRawImage(6, 3, [&](int x, int) { return x < 3 ? c.left : c.right; });
        EXPECT_EQ(image->createCompatibleImageOutline()->sampleAt(2, 1), c.sample) << std::hex << c.right;
    }
}

TEST(Outline, TwoRowPhotoComparesTheSameRowsInBoth)
{
    auto image = makeRawImage(4, 2, [](int, int y) { return grey(y == 0 ? 10 : 40); });
    gfx::ImageMaskRef mask = image->createCompatibleImageOutline();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(mask->sampleAt(x, y), 255 - 30);
}

TEST(Outline, RowsArePaddedToFourAndThePaddingIsLeftAlone)
{
    std::mt19937 rng(3);
    auto image = makeRawImage(1022, 3, [&](int, int) { return static_cast<std::uint32_t>(rng()); });
    gfx::ImageMaskRef mask = image->createCompatibleImageOutline();
    ASSERT_EQ(mask->rowBytes(), 1024);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(mask->samples()[y * 1024 + 1022], 0);
        EXPECT_EQ(mask->samples()[y * 1024 + 1023], 0);
    }
}

TEST(Outline, RefusesAPixelBlockThatDoesNotHoldItsRows)
{
    auto image = makeRawImage(8, 8, [](int, int) { return grey(1); });
    image->setHeight(9); // rb x height now exceeds the buffer
    EXPECT_FALSE(image->createCompatibleImageOutline());
    image->setHeight(8);
    image->setPixels(nullptr);
    EXPECT_FALSE(image->createCompatibleImageOutline());
}

} // namespace
