#include "PixelWalker.h"

#include "FixComponentOrderFilter.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::uint32_t widen(std::uint16_t value)
{
    const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(value & 0xFF),
                                            static_cast<std::uint8_t>(value >> 8)};
    return CFixComponentOrderFilter::Widen16(bytes.data()).value;
}

TEST(FixComponentOrderFilter, Widens555FieldsTruncatingAndIgnoresBit15)
{
    EXPECT_EQ(widen(0x7FFF), 0xFFFFFFFFu);
    EXPECT_EQ(widen(0x0000), 0xFF000000u);
    EXPECT_EQ(widen(0x7C00), 0xFFFF0000u); // red only
    EXPECT_EQ(widen(0x03E0), 0xFF00FF00u); // green only
    EXPECT_EQ(widen(0x001F), 0xFF0000FFu); // blue only
    EXPECT_EQ(widen(0x0010), 0xFF000083u); // 16 -> 131
    EXPECT_EQ(widen(0x0001), 0xFF000008u); // 1 -> 8
    EXPECT_EQ(widen(0x8000), 0xFF000000u);
    EXPECT_EQ(widen(0xFFFF), 0xFFFFFFFFu);
}

TEST(FixComponentOrderFilter, GetCurPixel16ReadsTheWalkersCurrentPixel)
{
    // Two rows of two 16-bit pixels, each row padded by two bytes (little-endian words).
    const std::vector<std::uint8_t> source{0xFF, 0x7F, 0x00, 0x7C, 0xAA, 0xBB, //
                                           0x10, 0x00, 0x00, 0x80, 0xCC, 0xDD};
    std::vector<std::uint8_t> bytes = source;
    CFixComponentOrderFilter walker(bytes.data(), 2, 2, 2, 6);
    std::vector<std::uint32_t> seen;
    walker.Walk([&](std::uint8_t*, int, int) { seen.push_back(walker.GetCurPixel16().value); });
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFFFF0000, 0xFF000083, 0xFF000000}));
    EXPECT_EQ(bytes, source); // reading leaves the block alone
}

TEST(CPixelWalker, VisitsRowsTopDownAndSkipsRowPadding)
{
    // 3 x 2 pixels of 4 bytes in rows of 16 bytes: the last 4 bytes of each row are padding.
    std::vector<std::uint8_t> bytes(32, 0);
    CPixelWalker walker(bytes.data(), 3, 2, 4, 16);
    std::vector<std::array<int, 3>> visits;
    walker.Walk([&](std::uint8_t* pixel, int row, int column) {
        visits.push_back({static_cast<int>(pixel - bytes.data()), row, column});
        pixel[0] = 1;
    });
    const std::vector<std::array<int, 3>> expected{{0, 0, 0}, {4, 0, 1}, {8, 0, 2}, {16, 1, 0}, {20, 1, 1}, {24, 1, 2}};
    EXPECT_EQ(visits, expected);
    EXPECT_EQ(bytes[12], 0); // padding untouched
    EXPECT_EQ(bytes[28], 0);

    std::vector<int> rowOffsets;
    walker.WalkRows([&](std::uint8_t* row, int) { rowOffsets.push_back(static_cast<int>(row - bytes.data())); });
    EXPECT_EQ(rowOffsets, (std::vector<int>{0, 16}));
}

TEST(CPixelWalker, EmptyBlockVisitsNothing)
{
    int visits = 0;
    CPixelWalker walker(nullptr, 0, 0, 4, 0);
    walker.Walk([&](std::uint8_t*, int, int) { ++visits; });
    std::uint8_t one[4] = {};
    CPixelWalker noColumns(one, 0, 1, 4, 4);
    noColumns.Walk([&](std::uint8_t*, int, int) { ++visits; });
    EXPECT_EQ(visits, 0);
}

TEST(CColor, ComponentsFollowTheLittleEndianWordLayout)
{
    const std::uint8_t bytes[4] = {0x33, 0x22, 0x11, 0x80}; // blue, green, red, alpha
    const CColor color = CColor::Load(bytes);
    EXPECT_EQ(color.value, 0x80112233u);
    EXPECT_EQ(color.Alpha(), 0x80u);
    EXPECT_EQ(color.Red(), 0x11u);
    EXPECT_EQ(color.Green(), 0x22u);
    EXPECT_EQ(color.Blue(), 0x33u);
}

} // namespace
