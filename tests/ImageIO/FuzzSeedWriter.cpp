// Writes the seed corpus of the decoder fuzz target when KANVARO_WRITE_DECODER_SEEDS names a
// folder (fuzz/corpus/decoders); otherwise skipped. Seeds stay tiny so the fuzzer mutates fast.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <fstream>

#include "TestPictures.h"

namespace imageio {
namespace {

using test::JpegKind;
using test::JpegRecipe;
using test::PngRecipe;

std::vector<std::uint8_t> ramp(int count, int stride)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i * stride));
    return bytes;
}

JpegRecipe smallJpeg(JpegKind kind, int channels)
{
    JpegRecipe recipe{.width = 12, .height = 10, .kind = kind};
    recipe.quality = 50;
    recipe.samples = ramp(12 * 10 * channels, 5);
    return recipe;
}

TEST(FuzzSeedWriter, WritesDecoderSeedsWhenAsked)
{
    const char* folder = std::getenv("KANVARO_WRITE_DECODER_SEEDS");
    if (!folder)
        GTEST_SKIP() << "set KANVARO_WRITE_DECODER_SEEDS to a folder to write the seeds";

    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> seeds;
    seeds.emplace_back(
        "rgba.png",
        test::makePng({.width = 6, .height = 5, .colorType = PNG_COLOR_TYPE_RGB_ALPHA, .rows = ramp(120, 9)}));
    seeds.emplace_back(
        "grey1.png",
        test::makePng({.width = 9, .height = 4, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 1, .rows = ramp(8, 37)}));
    seeds.emplace_back(
        "grey_alpha16.png",
        test::makePng(
            {.width = 3, .height = 3, .colorType = PNG_COLOR_TYPE_GRAY_ALPHA, .bitDepth = 16, .rows = ramp(36, 11)}));
    seeds.emplace_back("palette_trns.png", test::makePng({.width = 4,
                                                          .height = 4,
                                                          .colorType = PNG_COLOR_TYPE_PALETTE,
                                                          .bitDepth = 2,
                                                          .rows = ramp(4, 27),
                                                          .palette = ramp(12, 21),
                                                          .transparency = {0, 128}}));
    seeds.emplace_back("rgb16_interlaced.png", test::makePng({.width = 7,
                                                              .height = 6,
                                                              .colorType = PNG_COLOR_TYPE_RGB,
                                                              .bitDepth = 16,
                                                              .interlaced = true,
                                                              .rows = ramp(252, 3)}));
    PngRecipe withExif{.width = 2, .height = 2, .colorType = PNG_COLOR_TYPE_GRAY, .rows = ramp(4, 60)};
    withExif.exif = test::makeTiffOrientation(6, true);
    seeds.emplace_back("exif.png", test::makePng(withExif));

    seeds.emplace_back("baseline.jpg", test::makeJpeg(smallJpeg(JpegKind::kRgb, 3)));
    auto progressive = smallJpeg(JpegKind::kRgb, 3);
    progressive.progressive = true;
    seeds.emplace_back("progressive.jpg", test::makeJpeg(progressive));
    seeds.emplace_back("grey.jpg", test::makeJpeg(smallJpeg(JpegKind::kGrey, 1)));
    seeds.emplace_back("adobe_cmyk.jpg", test::makeJpeg(smallJpeg(JpegKind::kAdobeCmyk, 4)));
    seeds.emplace_back("ycck.jpg", test::makeJpeg(smallJpeg(JpegKind::kAdobeYcck, 4)));
    auto oriented = smallJpeg(JpegKind::kRgb, 3);
    oriented.exifOrientation = 8;
    seeds.emplace_back("exif_orientation.jpg", test::makeJpeg(oriented));

    for (const auto& [name, bytes] : seeds) {
        EXPECT_LT(bytes.size(), 4096u) << name;
        std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

} // namespace
} // namespace imageio
