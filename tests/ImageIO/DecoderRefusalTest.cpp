#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "ImageIO/Decoder.h"
#include "TestPictures.h"

namespace imageio {
namespace {

using test::JpegKind;
using test::JpegRecipe;
using test::PngRecipe;

fnd::Result<DecodedImage> decode(const std::vector<std::uint8_t>& file)
{
    return decodeMemory(file.data(), file.size());
}

std::vector<std::uint8_t> photoPng()
{
    PngRecipe recipe{.width = 32, .height = 24, .colorType = PNG_COLOR_TYPE_RGB, .rows = test::makeGradientRgb(32, 24)};
    return test::makePng(recipe);
}

std::vector<std::uint8_t> photoJpeg(bool progressive = false)
{
    JpegRecipe recipe{.width = 64, .height = 48, .progressive = progressive};
    recipe.samples = test::makeGradientRgb(64, 48);
    return test::makeJpeg(recipe);
}

void expectRefused(const std::vector<std::uint8_t>& file, const std::string& messagePart)
{
    const auto image = decode(file);
    ASSERT_FALSE(image.ok());
    EXPECT_NE(image.error().find(messagePart), std::string::npos) << image.error();
}

TEST(DecoderRefusal, EmptyAndUnknownDataAreNotPictures)
{
    const std::uint8_t byte = 0x89;
    EXPECT_FALSE(decodeMemory(&byte, 0).ok());
    EXPECT_FALSE(decodeMemory(nullptr, 10).ok());
    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(4096);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(random());
    expectRefused(noise, "not a PNG or JPEG file");
    // A JPEG start-of-image marker followed by too little or by damage is a damaged JPEG.
    for (const std::vector<std::uint8_t>& damaged :
         {std::vector<std::uint8_t>{0xFF, 0xD8},
          std::vector<std::uint8_t>{0xFF, 0xD8, 0x00, 0x10, 'J', 'F', 'I', 'F', 0}}) {
        const auto image = decode(damaged);
        ASSERT_FALSE(image.ok());
        EXPECT_NE(image.error().find("JPEG data"), std::string::npos) << image.error();
    }
}

TEST(DecoderRefusal, TruncatedFilesAreRefusedNotHalfDecoded)
{
    const auto png = photoPng();
    for (std::size_t keep : {std::size_t{8}, std::size_t{20}, std::size_t{40}, png.size() - 30})
        expectRefused({png.begin(), png.begin() + static_cast<std::ptrdiff_t>(keep)}, "PNG data");
    expectRefused({png.begin(), png.end() - 30}, "truncated PNG data");

    for (bool progressive : {false, true}) {
        const auto jpeg = photoJpeg(progressive);
        // Cut well inside the entropy-coded data: every header is complete.
        expectRefused({jpeg.begin(), jpeg.end() - 200}, "truncated JPEG data");
        expectRefused({jpeg.begin(), jpeg.begin() + 30}, "JPEG data");
    }
}

TEST(DecoderRefusal, CorruptPngChecksumIsReported)
{
    auto png = photoPng();
    png[png.size() - 20] ^= 0x5A; // inside the IDAT data: its CRC no longer matches
    expectRefused(png, "corrupt PNG data");
}

TEST(DecoderRefusal, OversizedHeadersAreRefusedBeforeDecoding)
{
    PngRecipe huge{.width = 100000, .height = 100000, .colorType = PNG_COLOR_TYPE_RGB_ALPHA};
    huge.headerOnly = true; // a real IHDR with a correct CRC and nothing after it
    expectRefused(test::makePng(huge), "picture too large: 100000 x 100000");
    PngRecipe tooManyPixels{.width = 16000, .height = 16000, .colorType = PNG_COLOR_TYPE_RGB};
    tooManyPixels.headerOnly = true;
    expectRefused(test::makePng(tooManyPixels), "picture too large: 16000 x 16000");

    // The JPEG frame header holds height then width, 16 bits each, after "FFC0 len precision".
    auto jpeg = photoJpeg();
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0xEA; // height 60000
            jpeg[i + 6] = 0x60;
            jpeg[i + 7] = 0xEA; // width 60000
            jpeg[i + 8] = 0x60;
            break;
        }
    expectRefused(jpeg, "picture too large: 60000 x 60000");
}

class DecodeFileTest : public testing::Test {
protected:
    std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const std::string path = testing::TempDir() + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        m_paths.push_back(path);
        return path;
    }
    ~DecodeFileTest() override
    {
        for (const auto& path : m_paths)
            std::remove(path.c_str());
    }

private:
    std::vector<std::string> m_paths;
};

TEST_F(DecodeFileTest, SignatureDecidesNotTheName)
{
    const auto jpegNamedPng = decodeFile(writeFile("kanvaro_photo_is_jpeg.png", photoJpeg()));
    ASSERT_TRUE(jpegNamedPng.ok()) << jpegNamedPng.error();
    EXPECT_EQ(jpegNamedPng->width, 64);
    const auto pngNamedJpeg = decodeFile(writeFile("kanvaro_photo_is_png.jpg", photoPng()));
    ASSERT_TRUE(pngNamedJpeg.ok()) << pngNamedJpeg.error();
    EXPECT_EQ(pngNamedJpeg->width, 32);
}

TEST_F(DecodeFileTest, FileErrorsNameThePath)
{
    const std::string missing = testing::TempDir() + "kanvaro_no_such_photo.jpg";
    const auto absent = decodeFile(missing);
    ASSERT_FALSE(absent.ok());
    EXPECT_NE(absent.error().find(missing), std::string::npos) << absent.error();

    const std::string empty = writeFile("kanvaro_empty.png", {});
    const auto nothing = decodeFile(empty);
    ASSERT_FALSE(nothing.ok());
    EXPECT_NE(nothing.error().find(empty), std::string::npos) << nothing.error();
    EXPECT_EQ(nothing.reason(), "Empty picture data (…/kanvaro_empty.png)");
    const auto notPicture = decodeFile(writeFile("kanvaro_notes.jpg", {'h', 'i'}));
    EXPECT_EQ(notPicture.reason(), "Not a PNG or JPEG file (…/kanvaro_notes.jpg)");

    // One limit for every photo file, checked before anything is read (a sparse file here).
    const std::string huge = writeFile("kanvaro_huge.jpg", photoJpeg());
    std::filesystem::resize_file(huge, kMaxPhotoFileBytes + 1);
    const auto tooLarge = decodeFile(huge);
    ASSERT_FALSE(tooLarge.ok());
    EXPECT_EQ(tooLarge.reason(), "Larger than 256 MiB (…/kanvaro_huge.jpg)");
}

} // namespace
} // namespace imageio
