#include "Graphics/MaskFillSpans.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx::maskfill {

namespace {

// Two channels at once: each 8-bit lane of `word` times f (0-255), divided by 255 with rounding
// to nearest (exact for every lane value).
inline std::uint32_t scaleLanes(std::uint32_t word, std::uint32_t f)
{
    std::uint32_t rb = (word & 0x00FF00FFu) * f + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    std::uint32_t ag = ((word >> 8) & 0x00FF00FFu) * f + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// The walk held in locals (a copy, so stores to the destination cannot alias its steps).
struct Walker {
    std::int64_t u, v;
    const std::int64_t du, dv;
    const std::uint8_t* const samples;
    const std::int64_t rowBytes;

    Walker(const SampleWalk& walk, const std::uint8_t* samplesIn, int rowBytesIn)
        : u(walk.u), v(walk.v), du(walk.du), dv(walk.dv), samples(samplesIn), rowBytes(rowBytesIn)
    {
    }
    SampleWalk rest() const { return {u, v, du, dv}; }
    // The sample under the walk, then one step on.
    std::uint8_t next()
    {
        const std::uint8_t s = samples[(v >> 32) * rowBytes + (u >> 32)];
        u += du;
        v += dv;
        return s;
    }
};

#if defined(__SSE2__)

// Each 16-bit lane x times the matching lane of f, divided by 255 with rounding, the same
// arithmetic as scaleLanes: x * f + 0x80 <= 65153 fits an unsigned 16-bit lane.
inline __m128i scale16(__m128i x, __m128i f)
{
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, f), _mm_set1_epi16(0x80));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Four pixels, every 8-bit lane times its pixel's factor (0-255, one per 32-bit lane of
// `factors`), divided by 255 with rounding.
inline __m128i scalePixels(__m128i pixels, __m128i factors)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i paired = _mm_or_si128(factors, _mm_slli_epi32(factors, 16)); // f in both 16-bit halves
    const __m128i low = scale16(_mm_unpacklo_epi8(pixels, zero), _mm_unpacklo_epi32(paired, paired));
    const __m128i high = scale16(_mm_unpackhi_epi8(pixels, zero), _mm_unpackhi_epi32(paired, paired));
    return _mm_packus_epi16(low, high);
}

inline int lane(std::uint32_t word) { return static_cast<int>(word); }

#endif

} // namespace

void blendSourceOverScalar(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                           int rowBytes, const SourceTable& table)
{
    Walker walker(walk, samples, rowBytes);
    for (int i = 0; i < count; ++i) {
        const std::uint32_t src = table[walker.next()];
        dst[i] = src + scaleLanes(dst[i], 255 - (src >> 24));
    }
}

void blendClearScalar(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    Walker walker(walk, samples, rowBytes);
    for (int i = 0; i < count; ++i)
        dst[i] = scaleLanes(dst[i], walker.next());
}

#if defined(__SSE2__)

void blendSourceOverSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table)
{
    Walker walker(walk, samples, rowBytes);
    const __m128i alphaMask = _mm_set1_epi32(0xFF);
    // Where sample 255 lays nothing (every real colour's table), four such pixels are skipped.
    const bool emptyKeepsPixels = table[255] == 0;
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const std::uint8_t s0 = walker.next();
        const std::uint8_t s1 = walker.next();
        const std::uint8_t s2 = walker.next();
        const std::uint8_t s3 = walker.next();
        if (emptyKeepsPixels && (s0 & s1 & s2 & s3) == 255)
            continue;
        const __m128i src = _mm_setr_epi32(lane(table[s0]), lane(table[s1]), lane(table[s2]), lane(table[s3]));
        const __m128i keep = _mm_xor_si128(_mm_srli_epi32(src, 24), alphaMask); // 255 - alpha
        auto* at = reinterpret_cast<__m128i*>(dst + i);
        // A 32-bit add, as the scalar loop does, so even out-of-range tables give the same words.
        _mm_storeu_si128(at, _mm_add_epi32(src, scalePixels(_mm_loadu_si128(at), keep)));
    }
    blendSourceOverScalar(dst + i, count - i, walker.rest(), samples, rowBytes, table);
}

void blendClearSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    Walker walker(walk, samples, rowBytes);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const int s0 = walker.next();
        const int s1 = walker.next();
        const int s2 = walker.next();
        const int s3 = walker.next();
        if ((s0 & s1 & s2 & s3) == 255)
            continue; // each pixel keeps all of itself
        auto* at = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(at, scalePixels(_mm_loadu_si128(at), _mm_setr_epi32(s0, s1, s2, s3)));
    }
    blendClearScalar(dst + i, count - i, walker.rest(), samples, rowBytes);
}

#else

void blendSourceOverSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table)
{
    blendSourceOverScalar(dst, count, walk, samples, rowBytes, table);
}

void blendClearSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    blendClearScalar(dst, count, walk, samples, rowBytes);
}

#endif

namespace {

// Changed only by forceSpanPath (benchmarks).
SpanPath& chosenPath()
{
    static SpanPath path = SpanPath::Sse2;
    return path;
}

} // namespace

SpanPath activeSpanPath() { return chosenPath(); }

void forceSpanPath(SpanPath path) { chosenPath() = path; }

void blendSourceOver(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes,
                     const SourceTable& table)
{
    switch (chosenPath()) {
    case SpanPath::Sse2: return blendSourceOverSse2(dst, count, walk, samples, rowBytes, table);
    case SpanPath::Scalar: break;
    }
    blendSourceOverScalar(dst, count, walk, samples, rowBytes, table);
}

void blendClear(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    switch (chosenPath()) {
    case SpanPath::Sse2: return blendClearSse2(dst, count, walk, samples, rowBytes);
    case SpanPath::Scalar: break;
    }
    blendClearScalar(dst, count, walk, samples, rowBytes);
}

} // namespace gfx::maskfill
