#pragma once
// Internal to the dab kernel (MaskFill.cpp): the per-row blend loops. Each walks the mask in
// 32.32 fixed point, one nearest sample per destination pixel, and blends into `count` ARGB32
// words. Two paths give the same words for every input: scalar (the reference, and the path
// for CPUs without SSE2) and SSE2 (four pixels a step), which blendSourceOver and blendClear take.
// Each loop reads its samples either from a walk or from a row's column offsets.
#include <array>
#include <cstddef>
#include <cstdint>

#include "Graphics/Color.h"

namespace gfx::maskfill {

// Mask position of the first pixel and its step per pixel, 32 fractional bits. Every position
// the walk visits must index a sample inside the mask.
struct SampleWalk {
    std::int64_t u, v, du, dv;
};

// A row's samples where every row of a dab shares one set of column offsets (one mask axis
// stays put along the rows, as for a dab unturned or turned by a quarter): pixel i's sample is
// row[offsets[i]], which the caller found as the walk would.
struct ColumnSamples {
    const std::uint8_t* row;
    const std::int32_t* offsets;
};

// The premultiplied source for every mask sample value s (coverage 255 - s), as words, and
// beside each word what the four-pixel loop takes in one load: the word and its 255 - alpha,
// the factor the destination keeps, in both 16-bit halves.
class SourceTable {
public:
    // Every entry for `color` (straight alpha; each component clamped to 0-1, a non-finite one
    // taken as 0): each channel rounded once from the real product of the premultiplied colour
    // and the coverage. fill computes four entries at a time where the build has SSE2;
    // fillScalar is its reference, entry by entry.
    void fill(const Color& color);
    void fillScalar(const Color& color);

    std::uint32_t operator[](std::size_t sample) const { return m_words[sample]; }
    void set(std::size_t sample, std::uint32_t word)
    {
        const std::uint64_t keep = 255u - (word >> 24);
        m_words[sample] = word;
        m_wordsAndKeeps[sample] = word | (keep * 0x00010001u) << 32;
    }
    const std::uint32_t* words() const { return m_words.data(); }
    const std::uint64_t* wordsAndKeeps() const { return m_wordsAndKeeps.data(); }

private:
    std::array<std::uint32_t, 256> m_words{};
    std::array<std::uint64_t, 256> m_wordsAndKeeps{};
};

// dst = source + dst x (255 - alpha(source)) / 255 per 8-bit lane, source = table[sample].
void blendSourceOver(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes,
                     const SourceTable& table);
void blendSourceOverScalar(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                           int rowBytes, const SourceTable& table);

// dst = dst x sample / 255 per 8-bit lane: the sample is what each pixel keeps.
void blendClear(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes);
void blendClearScalar(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes);

// The same from column offsets.
void blendSourceOver(std::uint32_t* dst, int count, const ColumnSamples& samples, const SourceTable& table);
void blendSourceOverScalar(std::uint32_t* dst, int count, const ColumnSamples& samples, const SourceTable& table);
void blendClear(std::uint32_t* dst, int count, const ColumnSamples& samples);
void blendClearScalar(std::uint32_t* dst, int count, const ColumnSamples& samples);

// The four-pixel paths, for the comparisons and benchmarks. Without SSE2 in the build they run
// the scalar loops.
void blendSourceOverSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table);
void blendClearSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes);
void blendSourceOverSse2(std::uint32_t* dst, int count, const ColumnSamples& samples, const SourceTable& table);
void blendClearSse2(std::uint32_t* dst, int count, const ColumnSamples& samples);

enum class SpanPath { Scalar, Sse2 };
// The path blendSourceOver and blendClear take: SSE2 unless a benchmark forces the scalar one.
SpanPath activeSpanPath();
void forceSpanPath(SpanPath path);

} // namespace gfx::maskfill
