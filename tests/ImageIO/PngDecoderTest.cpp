#include <gtest/gtest.h>

#include <algorithm>
#include <png.h>

#include "ImageIO/Decoder.h"
#include "TestPictures.h"

namespace imageio {
namespace {

using test::makePng;
using test::pixelAt;
using test::PngRecipe;

struct StoredFormatCase {
    const char* name;
    PngRecipe recipe;
    std::uint32_t first; // expected 0xAARRGGBB at (0, 0)
    std::uint32_t last;  // expected at (1, 0)
};

PngRecipe rgbLike(int colorType, int bitDepth, std::vector<std::uint8_t> rows)
{
    return {.width = 2, .height = 1, .colorType = colorType, .bitDepth = bitDepth, .rows = std::move(rows)};
}

// Two pixels per picture, one row: enough to see every channel land in its byte.
std::vector<StoredFormatCase> storedFormats()
{
    return {
        {"grey8", rgbLike(PNG_COLOR_TYPE_GRAY, 8, {0x10, 0xF0}), 0xFF101010, 0xFFF0F0F0},
        {"grey1", rgbLike(PNG_COLOR_TYPE_GRAY, 1, {0x40}), 0xFF000000, 0xFFFFFFFF},
        {"greyAlpha", rgbLike(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x20, 0x80, 0xC0, 0x00}), 0x80202020, 0x00C0C0C0},
        {"rgb", rgbLike(PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}), 0xFF010203, 0xFF040506},
        {"rgb16", rgbLike(PNG_COLOR_TYPE_RGB, 16, {0x12, 0x99, 0x34, 0x00, 0x56, 0xFF, 0xAB, 0, 0xCD, 0, 0xEF, 0}),
         0xFF123456, 0xFFABCDEF},
        {"greyAlpha16", rgbLike(PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x40, 0, 0x80, 0, 0xFF, 0xFF, 0, 0}), 0x80404040,
         0x00FFFFFF},
        {"paletteWithTransparency",
         {.width = 2,
          .height = 1,
          .colorType = PNG_COLOR_TYPE_PALETTE,
          .rows = {1, 0},
          .palette = {10, 20, 30, 40, 50, 60},
          .transparency = {255, 0x33}},
         0x3328323C /* entry 1, alpha from tRNS entry 1 */,
         0xFF0A141E},
        {"palette4",
         {.width = 2,
          .height = 1,
          .colorType = PNG_COLOR_TYPE_PALETTE,
          .bitDepth = 4,
          .rows = {0x01},
          .palette = {10, 20, 30, 40, 50, 60}},
         0xFF0A141E,
         0xFF28323C},
    };
}

TEST(PngDecoder, EveryStoredFormatBecomesStraightBgra)
{
    for (const auto& format : storedFormats()) {
        SCOPED_TRACE(format.name);
        const auto file = makePng(format.recipe);
        const auto image = decodeMemory(file.data(), file.size());
        ASSERT_TRUE(image.ok()) << image.error();
        EXPECT_EQ(image->width, 2);
        EXPECT_EQ(image->height, 1);
        EXPECT_EQ(image->bitsPerPixel, 32);
        EXPECT_EQ(image->bytesPerRow, 8);
        EXPECT_EQ(image->byteOrder, kByteOrder32Little);
        EXPECT_EQ(image->orientation, kOrientationUp);
        ASSERT_EQ(image->bytes->size(), 8u);
        EXPECT_EQ(pixelAt(image.value(), 0, 0), format.first);
        EXPECT_EQ(pixelAt(image.value(), 1, 0), format.last);
    }
}

TEST(PngDecoder, InterlacedPictureMatchesItsPlainTwin)
{
    // Odd sizes leave some Adam7 passes empty in places; every pixel must still land right.
    const int width = 13, height = 11;
    PngRecipe recipe{.width = width, .height = height, .colorType = PNG_COLOR_TYPE_RGB_ALPHA};
    for (int i = 0; i < width * height * 4; ++i)
        recipe.rows.push_back(static_cast<std::uint8_t>(i * 7 + i / 5));
    const auto plainFile = makePng(recipe);
    recipe.interlaced = true;
    const auto interlacedFile = makePng(recipe);
    ASSERT_NE(plainFile, interlacedFile);

    const auto plain = decodeMemory(plainFile.data(), plainFile.size());
    const auto interlaced = decodeMemory(interlacedFile.data(), interlacedFile.size());
    ASSERT_TRUE(plain.ok() && interlaced.ok());
    EXPECT_EQ(*plain->bytes, *interlaced->bytes);
    EXPECT_EQ(pixelAt(plain.value(), 0, 0), 0x1500070Eu); // stored r, g, b, a = 0x00, 0x07, 0x0E, 0x15
}

TEST(PngDecoder, OrientationComesFromAnExifChunkBeforeOrAfterTheImageData)
{
    for (bool after : {false, true}) {
        SCOPED_TRACE(after ? "after" : "before");
        PngRecipe recipe{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .rows = {0}};
        recipe.exif = test::makeTiffOrientation(6, false);
        recipe.exifAfterImage = after;
        const auto file = makePng(recipe);
        const auto exifAt = std::search(file.begin(), file.end(), std::begin("eXIf"), std::end("eXIf") - 1);
        const auto idatAt = std::search(file.begin(), file.end(), std::begin("IDAT"), std::end("IDAT") - 1);
        ASSERT_NE(exifAt, file.end());
        EXPECT_EQ(exifAt > idatAt, after);
        const auto image = decodeMemory(file.data(), file.size());
        ASSERT_TRUE(image.ok()) << image.error();
        EXPECT_EQ(image->orientation, kOrientationRight);
    }
}

} // namespace
} // namespace imageio
