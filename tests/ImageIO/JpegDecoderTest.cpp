#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "Foundation/FileOps.h"
#include "ImageIO/Decoder.h"
#include "TestPictures.h"

namespace imageio {
namespace {

using test::channelDistance;
using test::JpegKind;
using test::JpegRecipe;
using test::makeJpeg;
using test::pixelAt;

fnd::Result<DecodedImage> decodeJpeg(const std::vector<std::uint8_t>& file)
{
    return decodeMemory(file.data(), file.size());
}

JpegRecipe flatPicture(JpegKind kind, std::vector<std::uint8_t> sample, int width = 16, int height = 8)
{
    JpegRecipe recipe{.width = width, .height = height, .kind = kind};
    for (int i = 0; i < width * height; ++i)
        recipe.samples.insert(recipe.samples.end(), sample.begin(), sample.end());
    return recipe;
}

TEST(JpegDecoder, ColourPictureComesBackCloseAndOpaque)
{
    JpegRecipe recipe{.width = 32, .height = 24};
    recipe.samples = test::makeGradientRgb(32, 24);
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        recipe.progressive = progressive;
        const auto image = decodeJpeg(makeJpeg(recipe));
        ASSERT_TRUE(image.ok()) << image.error();
        EXPECT_EQ(image->width, 32);
        EXPECT_EQ(image->height, 24);
        EXPECT_EQ(image->bytesPerRow, 128);
        EXPECT_EQ(image->orientation, kOrientationUp);
        for (int y : {0, 12, 23})
            for (int x : {0, 16, 31}) {
                const std::uint8_t* rgb = &recipe.samples[(y * 32 + x) * 3];
                const std::uint32_t expected = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
                EXPECT_LE(channelDistance(pixelAt(image.value(), x, y), expected), 10) << x << "," << y;
            }
    }
}

TEST(JpegDecoder, GreyBecomesEqualChannels)
{
    const auto image = decodeJpeg(makeJpeg(flatPicture(JpegKind::kGrey, {0x60})));
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_LE(channelDistance(pixelAt(image.value(), 5, 5), 0xFF606060), 1);
}

TEST(JpegDecoder, CmykKindsBecomeTheSameColour)
{
    // Stored ink: 0 % cyan, 50 % magenta, 100 % yellow, 20 % black -> red 204, green 102, blue 0.
    const std::uint8_t c = 0, m = 128, y = 255, k = 51;
    const std::uint32_t expected = 0xFFCC6600;
    const struct {
        const char* name;
        JpegKind kind;
        std::vector<std::uint8_t> stored;
    } cases[] = {
        {"Adobe CMYK (inverted)", JpegKind::kAdobeCmyk, {255 - c, 255 - m, 255 - y, 255 - k}},
        {"Adobe YCCK (inverted)", JpegKind::kAdobeYcck, {255 - c, 255 - m, 255 - y, 255 - k}},
        {"plain CMYK", JpegKind::kPlainCmyk, {c, m, y, k}},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        const auto image = decodeJpeg(makeJpeg(flatPicture(entry.kind, entry.stored)));
        ASSERT_TRUE(image.ok()) << image.error();
        EXPECT_LE(channelDistance(pixelAt(image.value(), 3, 3), expected), 3);
    }
}

TEST(JpegDecoder, ExifOrientationMapsOntoCodes)
{
    const int expectedCodes[] = {0, 4, 1, 5, 6, 3, 7, 2};
    for (bool bigEndian : {false, true})
        for (int exif = 1; exif <= 8; ++exif) {
            SCOPED_TRACE(testing::Message() << "EXIF " << exif << (bigEndian ? " MM" : " II"));
            auto recipe = flatPicture(JpegKind::kRgb, {10, 20, 30}, 16, 8);
            recipe.exifOrientation = exif;
            recipe.bigEndianExif = bigEndian;
            const auto image = decodeJpeg(makeJpeg(recipe));
            ASSERT_TRUE(image.ok()) << image.error();
            EXPECT_EQ(image->orientation, expectedCodes[exif - 1]);
            const bool turned = exif >= 5;
            EXPECT_EQ(image->displayWidth(), turned ? 8 : 16);
            EXPECT_EQ(image->width, 16); // the pixels themselves stay as stored
        }
}

TEST(JpegDecoder, OrientationFromExifTreatsUnknownValuesAsUpright)
{
    EXPECT_EQ(orientationFromExif(0), kOrientationUp);
    EXPECT_EQ(orientationFromExif(9), kOrientationUp);
    EXPECT_EQ(orientationFromExif(-3), kOrientationUp);
    EXPECT_EQ(orientationFromExif(6), kOrientationRight);
    EXPECT_EQ(orientationFromExif(8), kOrientationLeft);
}

} // namespace
} // namespace imageio

namespace imageio {
namespace {

// A reduced decode picks the largest of 1/8, 1/4, 1/2 that keeps the shorter side at the size
// asked for, keeps the colours, and the orientation; PNGs and small JPEGs come whole.
TEST(JpegDecoder, ReducedDecodeKeepsTheShorterSideAtLeastAsAsked)
{
    const auto folder = std::filesystem::temp_directory_path() / ("kanvaro_reduced_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    JpegRecipe recipe = flatPicture(JpegKind::kRgb, {200, 40, 90}, 803, 601);
    recipe.exifOrientation = 6;
    const auto path = (folder / "photo.jpg").string();
    const auto file = makeJpeg(recipe);
    ASSERT_TRUE(fnd::writeFileAtomically(path, file));
    struct Case {
        int minShortSide;
        int width;
        int height;
    };
    for (const Case& c :
         {Case{75, 101, 76}, Case{76, 201, 151}, Case{300, 402, 301}, Case{301, 803, 601}, Case{0, 803, 601}}) {
        SCOPED_TRACE(c.minShortSide);
        const auto image = decodeFileReduced(path, c.minShortSide, 1 << 20);
        ASSERT_TRUE(image.ok()) << image.error();
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->orientation, kOrientationRight);
        EXPECT_LE(channelDistance(pixelAt(image.value(), c.width / 2, c.height / 2), 0xFFC8285Au), 12);
    }
    EXPECT_FALSE(decodeFileReduced(path, 75, file.size() - 1).ok()) << "larger than allowed";
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace imageio
