#include "RawImage.h"

#include "Foundation/Log.h"
#include "ImageIO/Decoder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using imageio::DecodedImage;

// A distinctive word per position, so any pixel tells where it came from.
std::uint32_t pattern(int x, int y)
{
    return 0xFF000000u | static_cast<std::uint32_t>(x) | static_cast<std::uint32_t>(y) << 12;
}

void storeWord(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t word)
{
    std::memcpy(bytes.data() + offset, &word, 4);
}

DecodedImage photo32(int width, int height, int orientation = imageio::kOrientationUp, int bytesPerRow = 0)
{
    DecodedImage photo;
    photo.width = width;
    photo.height = height;
    photo.bytesPerRow = bytesPerRow ? bytesPerRow : width * 4;
    photo.orientation = orientation;
    photo.bytes = std::make_shared<std::vector<std::uint8_t>>(
        static_cast<std::size_t>(photo.bytesPerRow) * static_cast<std::size_t>(height), 0xEE);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            storeWord(*photo.bytes, static_cast<std::size_t>(y) * photo.bytesPerRow + x * 4u, pattern(x, y));
    return photo;
}

// Catches the log lines of one test.
class LogCapture {
public:
    LogCapture() : m_previous(fnd::setLogSink([this](const std::string& line) { lines.push_back(line); })) {}
    ~LogCapture() { fnd::setLogSink(m_previous); }
    std::vector<std::string> lines;

private:
    fnd::LogSink m_previous;
};

std::uint32_t at(const RawImage& image, int x, int y) { return image.pixelAtX(x, y).value; }

TEST(RawImage, UprightPhotoBecomesThePixelBlockWithoutACopy)
{
    const DecodedImage photo = photo32(320, 480);
    auto image = RawImage::initWithUIImage(photo);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels().get(), photo.bytes.get());
    EXPECT_EQ(image->width(), 320);
    EXPECT_EQ(image->height(), 480);
    EXPECT_EQ(image->rb(), 1280);
    EXPECT_EQ(image->bpp(), 32);
    EXPECT_EQ(image->bpc(), 8);
    EXPECT_EQ(image->orientation(), 0);
    EXPECT_EQ(at(*image, 319, 479), pattern(319, 479));
}

TEST(RawImage, AlphaIsKeptWhenTheFirstPixelIsOpaqueAndForcedOtherwise)
{
    DecodedImage photo = photo32(4, 3);
    storeWord(*photo.bytes, 20, 0x40123456); // pixel (1, 1)
    auto kept = RawImage::initWithUIImage(photo);
    ASSERT_TRUE(kept);
    EXPECT_EQ(at(*kept, 1, 1), 0x40123456u);
    kept.reset();

    // First pixel transparent, bytes held by the photo alone: forced on a copy, so the photo
    // view keeps the photo's transparency.
    storeWord(*photo.bytes, 0, 0x00ABCDEF);
    auto forced = RawImage::initWithUIImage(photo);
    ASSERT_TRUE(forced);
    EXPECT_NE(forced->pixels().get(), photo.bytes.get());
    EXPECT_EQ((*photo.bytes)[3], 0x00);
    EXPECT_EQ((*photo.bytes)[23], 0x40);
    EXPECT_EQ(at(*forced, 0, 0), 0xFFABCDEFu);
    EXPECT_EQ(at(*forced, 1, 1), 0xFF123456u);
    EXPECT_EQ(at(*forced, 3, 2), pattern(3, 2));
}

TEST(RawImage, ForcingAlphaCopiesBytesThatOthersShare)
{
    DecodedImage photo = photo32(4, 3);
    storeWord(*photo.bytes, 0, 0x00ABCDEF);
    const auto otherHolder = photo.bytes;
    auto image = RawImage::initWithUIImage(photo);
    ASSERT_TRUE(image);
    EXPECT_NE(image->pixels().get(), photo.bytes.get());
    EXPECT_EQ(at(*image, 0, 0), 0xFFABCDEFu);
    EXPECT_EQ((*photo.bytes)[3], 0x00); // the photo keeps its own pixels
}

TEST(RawImage, PaddedRowsAreRepacked)
{
    const DecodedImage upright = photo32(3, 2, imageio::kOrientationUp, 20);
    auto image = RawImage::initWithUIImage(upright);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->rb(), 12);
    EXPECT_EQ(at(*image, 0, 1), pattern(0, 1));
    EXPECT_EQ(at(*image, 2, 1), pattern(2, 1));

    const DecodedImage turned = photo32(3, 2, imageio::kOrientationDown, 20);
    auto rotated = RawImage::initWithUIImage(turned);
    ASSERT_TRUE(rotated);
    EXPECT_EQ(at(*rotated, 0, 0), pattern(2, 1));
    EXPECT_EQ(at(*rotated, rotated->width() - 1, rotated->height() - 1), pattern(0, 0));
}

TEST(RawImage, TurnedPhotosAreRotatedAndResampledTo1024)
{
    const DecodedImage photo = photo32(1600, 1200);
    struct Case {
        int orientation, width, height;
        std::uint32_t topLeft, bottomRight;
    };
    const Case cases[] = {
        {imageio::kOrientationRight, 768, 1024, pattern(0, 1198), pattern(1598, 0)},
        {imageio::kOrientationDown, 1024, 768, pattern(1598, 1198), pattern(0, 0)},
        // Turning counter-clockwise brings the source's top-right corner to the top-left.
        {imageio::kOrientationLeft, 768, 1024, pattern(1598, 0), pattern(0, 1198)},
        // Mirrored codes: mirrored across the vertical axis, then turned like their plain code.
        {imageio::kOrientationUpMirrored, 1024, 768, pattern(1598, 0), pattern(0, 1198)},
        {imageio::kOrientationDownMirrored, 1024, 768, pattern(0, 1198), pattern(1598, 0)},
        {imageio::kOrientationLeftMirrored, 768, 1024, pattern(0, 0), pattern(1598, 1198)},
        {imageio::kOrientationRightMirrored, 768, 1024, pattern(1598, 1198), pattern(0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        DecodedImage turned = photo;
        turned.orientation = c.orientation;
        auto image = RawImage::initWithUIImage(turned);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->width(), c.width);
        ASSERT_EQ(image->height(), c.height);
        EXPECT_EQ(image->rb(), c.width * 4);
        EXPECT_EQ(image->orientation(), 0);
        EXPECT_EQ(at(*image, 0, 0), c.topLeft);
        EXPECT_EQ(at(*image, c.width - 1, c.height - 1), c.bottomRight);
    }
}

// The rotation table, one pixel at a time, to check the table-driven fast path against: each
// destination index is mirrored first where the code says so, then scaled and truncated.
std::uint32_t referencePixel(const DecodedImage& photo, int code, int x, int y, int newWidth, int newHeight)
{
    const float scale = 1024.0f / static_cast<float>(std::max(photo.width, photo.height));
    const float inv = 1.0f / scale;
    auto trunc = [&](int i) { return static_cast<int>(static_cast<float>(i) * inv); };
    const int fx = newWidth - 1 - x, fy = newHeight - 1 - y;
    switch (code) {
    case imageio::kOrientationDown: return pattern(trunc(fx), trunc(fy));
    case imageio::kOrientationLeft: return pattern(trunc(fy), trunc(x));
    case imageio::kOrientationRight: return pattern(trunc(y), trunc(fx));
    case imageio::kOrientationUpMirrored: return pattern(trunc(fx), trunc(y));
    case imageio::kOrientationDownMirrored: return pattern(trunc(x), trunc(fy));
    case imageio::kOrientationLeftMirrored: return pattern(trunc(y), trunc(x));
    case imageio::kOrientationRightMirrored: return pattern(trunc(fy), trunc(fx));
    default: return pattern(trunc(x), trunc(y));
    }
}

// The upright photo by the EXIF definitions, from the stored pixels: code -> EXIF 1..8, then
// the displayed pixel (u, v) of a stored width x height picture.
std::uint32_t exifUprightPixel(const DecodedImage& photo, int code, int u, int v)
{
    const int w = photo.width, h = photo.height;
    const int exif[] = {1, 3, 8, 6, 2, 4, 5, 7};
    switch (exif[code]) {
    case 2: return pattern(w - 1 - u, v);
    case 3: return pattern(w - 1 - u, h - 1 - v);
    case 4: return pattern(u, h - 1 - v);
    case 5: return pattern(v, u);
    case 6: return pattern(v, h - 1 - u);
    case 7: return pattern(w - 1 - v, h - 1 - u);
    case 8: return pattern(w - 1 - v, u);
    default: return pattern(u, v);
    }
}

TEST(RawImage, EveryOrientationIsStoredAsThePhotoIsShown)
{
    // 64 x 32 grows by exactly 16, so nearest sampling of the upright photo is exact.
    for (int code = 1; code <= 7; ++code) {
        SCOPED_TRACE(code);
        const DecodedImage photo = photo32(64, 32, code);
        auto image = RawImage::initWithUIImage(photo);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->width(), photo.displayWidth() * 16);
        ASSERT_EQ(image->height(), photo.displayHeight() * 16);
        int mismatches = 0;
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x)
                mismatches += at(*image, x, y) != exifUprightPixel(photo, code, x / 16, y / 16);
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(RawImage, EveryRotatedPixelMatchesThePlainTable)
{
    for (int code = 1; code <= 7; ++code) {
        SCOPED_TRACE(code);
        const DecodedImage photo = photo32(47, 30, code);
        auto image = RawImage::initWithUIImage(photo);
        ASSERT_TRUE(image);
        int mismatches = 0;
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x)
                mismatches += at(*image, x, y) != referencePixel(photo, code, x, y, image->width(), image->height());
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(RawImage, LongerSideTruncatesTo1023ForSomeSizes)
{
    for (int side : {41, 47, 55, 480, 640, 1200, 1536, 1600, 2048, 2592}) {
        SCOPED_TRACE(side);
        const int expected = side == 41 || side == 47 || side == 55 ? 1023 : 1024;
        auto rescaled = RawImage::initWithUIImage(photo32(side, 16, imageio::kOrientationUpMirrored));
        ASSERT_TRUE(rescaled);
        EXPECT_EQ(rescaled->width(), expected);
        auto turned = RawImage::initWithUIImage(photo32(side, 16, imageio::kOrientationRight));
        ASSERT_TRUE(turned);
        EXPECT_EQ(turned->height(), expected);
    }
}

DecodedImage photo16(int width, int height, int bytesPerRow, const std::vector<std::uint16_t>& values)
{
    DecodedImage photo;
    photo.width = width;
    photo.height = height;
    photo.bitsPerPixel = 16;
    photo.bytesPerRow = bytesPerRow;
    photo.byteOrder = imageio::kByteOrder16Little;
    photo.bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(bytesPerRow) * height, 0xFF);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint16_t v = values[static_cast<std::size_t>(y * width + x)];
            (*photo.bytes)[static_cast<std::size_t>(y * bytesPerRow + x * 2)] = static_cast<std::uint8_t>(v & 0xFF);
            (*photo.bytes)[static_cast<std::size_t>(y * bytesPerRow + x * 2 + 1)] = static_cast<std::uint8_t>(v >> 8);
        }
    return photo;
}

TEST(RawImage, SixteenBitPhotosAreWidenedAndThenTurned)
{
    // 2 x 2 in padded rows of 6 bytes (the padding holds 0xFFFF, which must not show).
    const DecodedImage upright = photo16(2, 2, 6, {0x7FFF, 0x7C00, 0x0010, 0x8000});
    auto image = RawImage::initWithUIImage(upright);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->rb(), 8);
    EXPECT_EQ(at(*image, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(at(*image, 1, 0), 0xFFFF0000u);
    EXPECT_EQ(at(*image, 0, 1), 0xFF000083u);
    EXPECT_EQ(at(*image, 1, 1), 0xFF000000u);

    DecodedImage turned = photo16(4, 2, 8, {0x7C00, 0, 0, 0, 0, 0, 0, 0x001F});
    turned.orientation = imageio::kOrientationDown;
    auto rotated = RawImage::initWithUIImage(turned);
    ASSERT_TRUE(rotated);
    EXPECT_EQ(rotated->width(), 1024);
    EXPECT_EQ(rotated->height(), 512);
    EXPECT_EQ(at(*rotated, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(at(*rotated, 1023, 511), 0xFFFF0000u);
}

TEST(RawImage, RefusesPhotosItCannotReadSafely)
{
    auto refused = [](DecodedImage photo) {
        LogCapture log;
        const bool none = RawImage::initWithUIImage(photo) == nullptr;
        return none && log.lines.size() == 1;
    };
    DecodedImage photo = photo32(8, 4);
    EXPECT_FALSE(refused(photo));

    DecodedImage changed = photo;
    changed.byteOrder = imageio::kByteOrder16Big;
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.bitsPerPixel = 24;
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.byteOrder = imageio::kByteOrder16Little; // 32-bit pixels under a 16-bit order
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.bytes = nullptr;
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.orientation = 8;
    EXPECT_TRUE(refused(changed));

    // Descriptions that would make us read outside the bytes.
    changed = photo;
    changed.height = 5;
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.bytesPerRow = 28;
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.bytesPerRow = 4096;
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.width = 0;
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.width = -8;
    changed.bytesPerRow = -32;
    EXPECT_TRUE(refused(changed));
    changed = photo;
    changed.height = imageio::kMaxDecodeSide + 1;
    EXPECT_TRUE(refused(changed));

    // Too thin to keep a column once the longer side becomes 1024.
    EXPECT_TRUE(refused(photo32(2048, 1, imageio::kOrientationRight)));
}

TEST(RawImage, InitWithWidthRefusesUnusableSizes)
{
    LogCapture log;
    EXPECT_EQ(RawImage::initWithWidth(0, 5), nullptr);
    EXPECT_EQ(RawImage::initWithWidth(5, -1), nullptr);
    EXPECT_EQ(RawImage::initWithWidth(100000, 1), nullptr);
    EXPECT_EQ(RawImage::initWithWidth(16384, 16384), nullptr);
    EXPECT_EQ(log.lines.size(), 4u);
    auto made = RawImage::initWithWidth(3, 2);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->rb(), 12);
    EXPECT_EQ(made->pixels()->size(), 24u);
}

TEST(RawImage, PixelComponentsAreBytesOver255WithOpaqueAlpha)
{
    auto image = RawImage::initWithWidth(2, 2);
    ASSERT_TRUE(image);
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(16); // 2 x 2 pixels
    storeWord(*pixels, 12, 0x00FF8000);                            // pixel (1, 1), alpha byte 0
    image->setPixels(std::move(pixels));
    const std::array<float, 4> components = image->pixelComponentsAtX(1, 1);
    EXPECT_FLOAT_EQ(components[0], 1.0f);
    EXPECT_FLOAT_EQ(components[1], 0.5019608f);
    EXPECT_FLOAT_EQ(components[2], 0.0f);
    EXPECT_FLOAT_EQ(components[3], 1.0f);
}

TEST(RawImage, CompatibleImageSharesThePixelsAndOutlivesTheRawImage)
{
    DecodedImage photo = photo32(6, 5);
    storeWord(*photo.bytes, 4, 0x80402010); // pixel (1, 0) half transparent: must stay straight
    auto image = RawImage::initWithUIImage(photo);
    ASSERT_TRUE(image);
    gfx::ImageRef shown = image->createCompatibleImage();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->bytes().get(), image->pixels().get());
    EXPECT_EQ(shown->alpha(), gfx::Image::Alpha::Straight);
    image.reset();
    photo.bytes.reset();
    EXPECT_EQ(shown->width(), 6);
    EXPECT_EQ(shown->pixelAt(5, 4), pattern(5, 4));
    EXPECT_EQ(shown->pixelAt(1, 0), 0x80402010u);
}

TEST(RawImage, ThumbnailIsTheCentredSquareByNearestSample)
{
    auto image = RawImage::initWithUIImage(photo32(480, 320));
    ASSERT_TRUE(image);
    gfx::ImageRef thumbnail = image->createCompatibleThumbnailAtSize(29);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->width(), 29);
    EXPECT_EQ(thumbnail->height(), 29);
    EXPECT_EQ(thumbnail->pixelAt(0, 0), pattern(80, 0));
    EXPECT_EQ(thumbnail->pixelAt(28, 28), pattern(388, 308));
    EXPECT_EQ(thumbnail->pixelAt(3, 20), pattern(80 + 33, 220)); // step 11.034483

    auto tall = RawImage::initWithUIImage(photo32(10, 30));
    ASSERT_TRUE(tall);
    gfx::ImageRef square = tall->createCompatibleThumbnailAtSize(5);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->pixelAt(0, 0), pattern(0, 10));
    EXPECT_EQ(square->pixelAt(4, 4), pattern(8, 18));
}

TEST(RawImage, ThumbnailOfABlockNotYetUprightSwapsRowsAndColumns)
{
    auto image = RawImage::initWithUIImage(photo32(480, 320));
    ASSERT_TRUE(image);
    image->setOrientation(imageio::kOrientationRight);
    gfx::ImageRef thumbnail = image->createCompatibleThumbnailAtSize(29);
    ASSERT_TRUE(thumbnail);
    // Thumbnail row 3, column 20 is stored at row 20, column 3.
    EXPECT_EQ(thumbnail->pixelAt(3, 20), pattern(80 + 220, 33));
    EXPECT_EQ(thumbnail->pixelAt(28, 0), pattern(80, 308));
}

TEST(RawImage, ThumbnailRefusesAnUnusableSize)
{
    auto image = RawImage::initWithWidth(4, 4);
    ASSERT_TRUE(image);
    LogCapture log;
    EXPECT_EQ(image->createCompatibleThumbnailAtSize(0), nullptr);
    EXPECT_EQ(log.lines.size(), 1u);
}

} // namespace
