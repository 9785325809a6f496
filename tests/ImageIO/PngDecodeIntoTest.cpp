// Decoding a PNG straight into caller rows must give exactly the words of the ordinary decode,
// premultiplied, for every stored format, and must leave the rows alone when it refuses.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "ImageIO/Decoder.h"
#include "TestPictures.h"

namespace imageio {
namespace {

using test::makePng;
using test::pixelAt;
using test::PngRecipe;

constexpr int kWidth = 13; // odd sizes: partial Adam7 blocks, sub-byte rows that end mid-byte
constexpr int kHeight = 7;
constexpr std::size_t kPadding = 12; // bytes past each row that decoding must not touch
constexpr std::uint8_t kUntouched = 0xAB;

std::uint32_t premultiplied(std::uint32_t w)
{
    const std::uint32_t a = w >> 24;
    auto channel = [&](int shift) { return (((w >> shift) & 0xFF) * a + 127) / 255 << shift; };
    return (a << 24) | channel(16) | channel(8) | channel(0);
}

struct Kind {
    std::string name;
    int colorType;
    int bitDepth;
    bool withTransparency;
};

std::vector<Kind> everyKind()
{
    std::vector<Kind> kinds;
    for (int depth : {1, 2, 4, 8, 16})
        kinds.push_back({"grey" + std::to_string(depth), PNG_COLOR_TYPE_GRAY, depth, false});
    for (int depth : {1, 2, 4, 8})
        kinds.push_back({"palette" + std::to_string(depth) + "+tRNS", PNG_COLOR_TYPE_PALETTE, depth, true});
    kinds.push_back({"palette8", PNG_COLOR_TYPE_PALETTE, 8, false});
    for (int depth : {8, 16}) {
        kinds.push_back({"greyAlpha" + std::to_string(depth), PNG_COLOR_TYPE_GRAY_ALPHA, depth, false});
        kinds.push_back({"rgb" + std::to_string(depth), PNG_COLOR_TYPE_RGB, depth, false});
        kinds.push_back({"rgba" + std::to_string(depth), PNG_COLOR_TYPE_RGB_ALPHA, depth, false});
    }
    return kinds;
}

int channelsOf(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

// Random samples (any index is valid: the palette has 2^depth entries), with alpha spread over
// the whole range so every premultiplication rounding case is likely met.
PngRecipe recipeFor(const Kind& kind, bool interlaced)
{
    std::mt19937 rng(static_cast<unsigned>(kind.colorType * 100 + kind.bitDepth));
    auto byte = [&] { return static_cast<std::uint8_t>(rng()); };
    PngRecipe recipe{.width = kWidth,
                     .height = kHeight,
                     .colorType = kind.colorType,
                     .bitDepth = kind.bitDepth,
                     .interlaced = interlaced};
    const std::size_t rowBytes =
        (static_cast<std::size_t>(kWidth) * channelsOf(kind.colorType) * kind.bitDepth + 7) / 8;
    for (std::size_t i = 0; i < rowBytes * kHeight; ++i)
        recipe.rows.push_back(byte());
    if (kind.colorType == PNG_COLOR_TYPE_PALETTE)
        for (int i = 0; i < 3 << kind.bitDepth; ++i)
            recipe.palette.push_back(byte());
    if (kind.withTransparency && kind.colorType == PNG_COLOR_TYPE_PALETTE)
        for (int i = 0; i < (1 << kind.bitDepth) - 1; ++i) // the last entry stays opaque
            recipe.transparency.push_back(byte());
    return recipe;
}

struct Rows {
    std::vector<std::uint8_t> bytes;
    PixelRows view;
    explicit Rows(int width = kWidth, int height = kHeight)
        : bytes((static_cast<std::size_t>(width) * 4 + kPadding) * static_cast<std::size_t>(height), kUntouched)
        , view{bytes.data(), width, height, static_cast<std::size_t>(width) * 4 + kPadding}
    {
    }
    std::uint32_t word(int x, int y) const
    {
        std::uint32_t w;
        std::memcpy(&w, bytes.data() + static_cast<std::size_t>(y) * view.bytesPerRow + static_cast<std::size_t>(x) * 4,
                    4);
        return w;
    }
    bool paddingUntouched() const
    {
        for (int y = 0; y < view.height; ++y)
            for (std::size_t i = static_cast<std::size_t>(view.width) * 4; i < view.bytesPerRow; ++i)
                if (bytes[static_cast<std::size_t>(y) * view.bytesPerRow + i] != kUntouched)
                    return false;
        return true;
    }
    bool allUntouched() const
    {
        return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == kUntouched; });
    }
};

TEST(PngDecodeInto, EveryKindGivesTheOrdinaryDecodePremultiplied)
{
    for (const Kind& kind : everyKind())
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(kind.name + (interlaced ? " interlaced" : ""));
            const auto file = makePng(recipeFor(kind, interlaced));
            const auto reference = decodeMemory(file.data(), file.size());
            ASSERT_TRUE(reference.ok()) << reference.error();
            Rows rows;
            const auto decoded = decodePngInto(file.data(), file.size(), rows.view);
            ASSERT_TRUE(decoded.ok()) << decoded.error();
            int mismatches = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    mismatches += rows.word(x, y) != premultiplied(pixelAt(reference.value(), x, y));
            EXPECT_EQ(mismatches, 0);
            EXPECT_TRUE(rows.paddingUntouched());
        }
}

TEST(PngDecodeInto, RefusalsLeaveTheRowsUntouched)
{
    const auto file = makePng(recipeFor({"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false}, false));
    for (auto [width, height] : {std::pair{kWidth + 1, kHeight}, std::pair{kWidth, kHeight - 1}}) {
        Rows rows(width, height);
        const auto decoded = decodePngInto(file.data(), file.size(), rows.view);
        ASSERT_FALSE(decoded.ok());
        EXPECT_NE(decoded.error().find("13 x 7 picture"), std::string::npos) << decoded.error();
        EXPECT_TRUE(rows.allUntouched());
    }
    Rows rows;
    const std::vector<std::uint8_t> notPng = {'J', 'F', 'I', 'F', 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(decodePngInto(notPng.data(), notPng.size(), rows.view));
    EXPECT_FALSE(decodePngInto(nullptr, 0, rows.view));
    PixelRows tooNarrow = rows.view;
    tooNarrow.bytesPerRow = kWidth * 4 - 1;
    EXPECT_FALSE(decodePngInto(file.data(), file.size(), tooNarrow));
    PixelRows noMemory = rows.view;
    noMemory.data = nullptr;
    EXPECT_FALSE(decodePngInto(file.data(), file.size(), noMemory));
    EXPECT_TRUE(rows.allUntouched());
}

TEST(PngDecodeInto, DamagedDataFailsCleanly)
{
    for (bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "plain");
        auto file = makePng(recipeFor({"rgb16", PNG_COLOR_TYPE_RGB, 16, false}, interlaced));
        Rows rows;
        const auto truncated = decodePngInto(file.data(), file.size() - 30, rows.view);
        ASSERT_FALSE(truncated.ok());
        EXPECT_TRUE(rows.paddingUntouched());
        file[file.size() / 2] ^= 0x5A; // inside the compressed pixels: a CRC or zlib failure
        EXPECT_FALSE(decodePngInto(file.data(), file.size(), rows.view));
        EXPECT_TRUE(rows.paddingUntouched());
    }
}

TEST(PngDecodeInto, HeaderSizeIsReadWithoutDecoding)
{
    const auto header = makePng({.width = 300, .height = 2, .colorType = PNG_COLOR_TYPE_GRAY, .headerOnly = true});
    const auto size = readPngSize(header.data(), header.size());
    ASSERT_TRUE(size.ok()) << size.error();
    EXPECT_EQ(size->width, 300);
    EXPECT_EQ(size->height, 2);

    EXPECT_FALSE(readPngSize(header.data(), 20).ok()); // signature but no complete IHDR
    EXPECT_FALSE(readPngSize(nullptr, 0).ok());
    const auto huge =
        makePng({.width = kMaxDecodeSide + 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .headerOnly = true});
    EXPECT_FALSE(readPngSize(huge.data(), huge.size()).ok());
}

} // namespace
} // namespace imageio
