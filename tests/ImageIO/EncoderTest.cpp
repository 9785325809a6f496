#include <gtest/gtest.h>

#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"
#include "TestPictures.h"

namespace imageio {
namespace {

using test::channelDistance;
using test::pixelAt;

// Every alpha value, with colours that differ per pixel: 64 x 4 straight BGRA pixels.
std::vector<std::uint8_t> straightPixels()
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v * 3),
                                   static_cast<std::uint8_t>(v ^ 0x5A), v});
    }
    return bytes;
}

fnd::Result<DecodedImage> decode(const fnd::Result<std::vector<std::uint8_t>>& file)
{
    EXPECT_TRUE(file.ok()) << file.error();
    return decodeMemory(file->data(), file->size());
}

TEST(PngEncoder, StraightPixelsSurviveExactly)
{
    const auto pixels = straightPixels();
    for (PngFilter filter : {PngFilter::kSub, PngFilter::kAdaptive, PngFilter::kNone}) {
        const PixelsView view{pixels.data(), 64, 4, 64 * 4, false};
        const auto image = decode(encodePng(view, {6, true, filter}));
        ASSERT_TRUE(image.ok()) << image.error();
        EXPECT_EQ(*image->bytes, pixels);
    }
}

TEST(PngEncoder, RowPaddingIsSkippedAndRgbDropsAlpha)
{
    // Two rows of two pixels, each row followed by 8 bytes of padding.
    const std::vector<std::uint8_t> padded = {1,    2,    3,    0,    4,    5,    6,    9,    0xEE, 0xEE, 0xEE,
                                              0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 7,    8,    9,    10,   11,   12,
                                              13,   14,   0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    const PixelsView view{padded.data(), 2, 2, 16, false};
    const auto image = decode(encodePng(view, {1, false}));
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_EQ(image->bytesPerRow, 8);
    EXPECT_EQ(pixelAt(image.value(), 0, 0), 0xFF030201u);
    EXPECT_EQ(pixelAt(image.value(), 1, 1), 0xFF0D0C0Bu);
}

TEST(PngEncoder, PremultipliedPixelsAreUnpremultiplied)
{
    // Premultiplied: half-transparent red 0x80FF0000 is stored as 0x80800000; clear stays clear.
    const std::vector<std::uint8_t> premultiplied = {0, 0, 0x80, 0x80, 0x11, 0x22, 0x33, 0, 0x40, 0x20, 0x10, 0x40};
    const PixelsView view{premultiplied.data(), 3, 1, 12, true};
    const auto image = decode(encodePng(view));
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_LE(channelDistance(pixelAt(image.value(), 0, 0), 0x80FF0000), 1);
    EXPECT_EQ(pixelAt(image.value(), 1, 0), 0u);
    EXPECT_LE(channelDistance(pixelAt(image.value(), 2, 0), 0x404080FF), 1);
}

TEST(JpegEncoder, PicturesComeBackCloseAndQualityMatters)
{
    const int width = 48, height = 32;
    const auto rgb = test::makeGradientRgb(width, height);
    std::vector<std::uint8_t> bgra;
    for (std::size_t i = 0; i < rgb.size(); i += 3)
        bgra.insert(bgra.end(), {rgb[i + 2], rgb[i + 1], rgb[i], 0x00}); // alpha is dropped, not applied
    const PixelsView view{bgra.data(), width, height, width * 4, false};

    const auto fine = encodeJpeg(view, 0.95);
    const auto coarse = encodeJpeg(view, 0.1);
    ASSERT_TRUE(fine.ok() && coarse.ok());
    EXPECT_LT(coarse->size(), fine->size());
    const auto image = decode(fine);
    ASSERT_TRUE(image.ok()) << image.error();
    for (int y : {0, 15, 31})
        for (int x : {0, 20, 47}) {
            const std::uint8_t* p = &bgra[(y * width + x) * 4];
            const std::uint32_t expected = 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
            EXPECT_LE(channelDistance(pixelAt(image.value(), x, y), expected), 10) << x << "," << y;
        }
}

TEST(Encoders, InvalidPixelViewsAreRefused)
{
    const std::vector<std::uint8_t> pixels(64);
    const PixelsView cases[] = {
        {nullptr, 2, 2, 8, false},       // no data
        {pixels.data(), 0, 2, 8, false}, // no width
        {pixels.data(), 2, -1, 8, false},
        {pixels.data(), 4, 2, 8, false}, // rows shorter than 4 pixels
    };
    for (const auto& view : cases) {
        EXPECT_FALSE(encodePng(view).ok());
        EXPECT_FALSE(encodeJpeg(view, 0.8).ok());
    }
}

} // namespace
} // namespace imageio
