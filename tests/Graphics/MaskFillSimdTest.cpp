// The vector span loops (SSE2 and the dispatched entry points, reading a walk or column
// offsets) and the vector source table against the scalar ones they replace: the same words
// for every input,
// including tables that are not valid premultiplied colours (the final add carries across
// channels exactly as the scalar add does) and runs of empty samples, any count, any start
// alignment, rows of any length; and nothing outside the span is written.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "Graphics/MaskFillSpans.h"

using namespace gfx::maskfill;

namespace {

struct SpanCase {
    std::vector<std::uint8_t> samples;
    int rowBytes = 0;
    SampleWalk walk{};
    SourceTable table{};
    std::vector<std::uint32_t> row; // the span starts at `offset`, with guard words around it
    int offset = 0;
    int count = 0;
};

// A start and end position inside [0, limit) in 32.32 fixed point, and the step between them
// over `count` pixels: truncating the step keeps every visited position between the two.
void randomAxis(std::mt19937& rng, int limit, int count, std::int64_t& start, std::int64_t& step)
{
    std::uniform_int_distribution<std::int64_t> position(0, (static_cast<std::int64_t>(limit) << 32) - 1);
    start = position(rng);
    const std::int64_t end = std::uniform_int_distribution<int>(0, 4)(rng) == 0 ? start : position(rng);
    step = (end - start) / std::max(count - 1, 1);
}

// `wideRows`: rows too long for the four-pixel loop's 16-bit sample offsets, which it then
// walks one sample at a time.
SpanCase randomCase(std::mt19937& rng, int count, bool wideRows)
{
    std::uniform_int_distribution<int> side(1, 70), byte(0, 255);
    std::uniform_int_distribution<std::uint32_t> word;
    SpanCase c;
    const int width = side(rng), height = wideRows ? 2 : side(rng);
    // Half the cases in rows of whole 32-bit words, as every ImageMask has.
    const int pad = std::uniform_int_distribution<int>(0, 5)(rng);
    c.rowBytes = pad < 3 ? (width + 3) / 4 * 4 : width + pad;
    if (wideRows)
        c.rowBytes += 32768;
    c.samples.resize(static_cast<std::size_t>(c.rowBytes) * height);
    // A third of the cases mostly empty (255) with a real colour's empty entry (0), so the
    // runs the vector loops skip come up often.
    const bool sparse = std::uniform_int_distribution<int>(0, 2)(rng) == 0;
    for (auto& s : c.samples)
        s = sparse && byte(rng) < 220 ? 255 : static_cast<std::uint8_t>(byte(rng));
    randomAxis(rng, width, count, c.walk.u, c.walk.du);
    randomAxis(rng, height, count, c.walk.v, c.walk.dv);
    for (std::size_t s = 0; s < 256; ++s)
        c.table.set(s, sparse && s == 255 ? 0 : word(rng));
    c.count = count;
    c.offset = std::uniform_int_distribution<int>(1, 4)(rng);
    c.row.resize(static_cast<std::size_t>(c.offset + count + 5));
    for (auto& pixel : c.row)
        pixel = word(rng);
    return c;
}

} // namespace

TEST(MaskFillSpans, VectorLoopsGiveTheScalarWords)
{
    using SourceOverLoop =
        void (*)(std::uint32_t*, int, const SampleWalk&, const std::uint8_t*, int, const SourceTable&);
    using ClearLoop = void (*)(std::uint32_t*, int, const SampleWalk&, const std::uint8_t*, int);
    struct Path {
        const char* name;
        SourceOverLoop sourceOver;
        ClearLoop clear;
    };
    std::vector<Path> paths = {{"SSE2", blendSourceOverSse2, blendClearSse2},
                               {"dispatched", blendSourceOver, blendClear}};
    struct ColumnPath {
        const char* name;
        void (*sourceOver)(std::uint32_t*, int, const ColumnSamples&, const SourceTable&);
        void (*clear)(std::uint32_t*, int, const ColumnSamples&);
    };
    const std::vector<ColumnPath> columnPaths = {{"scalar", blendSourceOverScalar, blendClearScalar},
                                                 {"SSE2", blendSourceOverSse2, blendClearSse2},
                                                 {"dispatched", blendSourceOver, blendClear}};
    std::mt19937 rng(31337);
    for (int round = 0; round < 40; ++round)
        for (int count = 0; count <= 37; ++count) {
            SpanCase c = randomCase(rng, count, round == 0);
            std::vector<std::uint32_t> overExpected = c.row, clearExpected = c.row;
            blendSourceOverScalar(overExpected.data() + c.offset, count, c.walk, c.samples.data(), c.rowBytes, c.table);
            blendClearScalar(clearExpected.data() + c.offset, count, c.walk, c.samples.data(), c.rowBytes);
            for (const Path& path : paths) {
                std::vector<std::uint32_t> got = c.row;
                path.sourceOver(got.data() + c.offset, count, c.walk, c.samples.data(), c.rowBytes, c.table);
                ASSERT_EQ(got, overExpected) << path.name << " source-over, round " << round << ", count " << count;
                got = c.row;
                path.clear(got.data() + c.offset, count, c.walk, c.samples.data(), c.rowBytes);
                ASSERT_EQ(got, clearExpected) << path.name << " clear, round " << round << ", count " << count;
            }
            // The same samples read from column offsets, by every path, the scalar one included.
            std::vector<std::int32_t> offsets;
            for (std::int64_t i = 0, u = c.walk.u, v = c.walk.v; i < count; ++i, u += c.walk.du, v += c.walk.dv)
                offsets.push_back(static_cast<std::int32_t>((v >> 32) * c.rowBytes + (u >> 32)));
            const ColumnSamples columns{c.samples.data(), offsets.data()};
            for (const ColumnPath& path : columnPaths) {
                std::vector<std::uint32_t> got = c.row;
                path.sourceOver(got.data() + c.offset, count, columns, c.table);
                ASSERT_EQ(got, overExpected) << path.name << " columns, source-over, round " << round;
                got = c.row;
                path.clear(got.data() + c.offset, count, columns);
                ASSERT_EQ(got, clearExpected) << path.name << " columns, clear, round " << round;
            }
        }
}

TEST(MaskFillSpans, ScalarLoopsKeepTheirArithmetic)
{
    // A pinned row guards the reference itself: sample 0 keeps nothing of dst under Clear and
    // lays the full table entry; 255 keeps dst whole; 128 rounds each lane to nearest.
    const std::vector<std::uint8_t> samples = {0, 255, 128, 0, 255};
    SourceTable table;
    table.set(0, 0xFF102030u);
    table.set(128, 0x80081018u);
    const SampleWalk walk{0, 0, std::int64_t{1} << 32, 0};
    std::vector<std::uint32_t> row(5, 0x80402010u);
    blendSourceOverScalar(row.data(), 5, walk, samples.data(), 5, table);
    // 0x80402010 x 127/255 rounds to 0x40201008.
    EXPECT_EQ(row, (std::vector<std::uint32_t>{0xFF102030u, 0x80402010u, 0xC0282020u, 0xFF102030u, 0x80402010u}));
    std::vector<std::uint32_t> cleared(5, 0xFF804020u);
    blendClearScalar(cleared.data(), 5, walk, samples.data(), 5);
    EXPECT_EQ(cleared, (std::vector<std::uint32_t>{0u, 0xFF804020u, 0x80402010u, 0u, 0xFF804020u}));
}

TEST(MaskFillSpans, VectorTableGivesTheScalarEntries)
{
    // Every entry, and the destination factor the four-pixel loop reads beside it, for random
    // colours and for the ones clamping decides: out of range, not finite, exact ends.
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> component(-0.25f, 1.25f);
    std::vector<gfx::Color> colours = {
        {0, 0, 0, 0},           {1, 1, 1, 1}, {0.5f, 0.25f, 1, 0.5f}, {NAN, 1, 0.5f, 1}, {1, INFINITY, 0, 0.75f},
        {0.3f, 0.6f, 0.9f, NAN}};
    for (int i = 0; i < 300; ++i)
        colours.push_back({component(rng), component(rng), component(rng), component(rng)});
    for (const gfx::Color& colour : colours) {
        SourceTable vector, scalar;
        vector.fill(colour);
        scalar.fillScalar(colour);
        for (std::size_t s = 0; s < 256; ++s) {
            ASSERT_EQ(vector[s], scalar[s]) << "sample " << s;
            ASSERT_EQ(vector.wordsAndKeeps()[s], scalar.wordsAndKeeps()[s]) << "sample " << s;
        }
    }
}
