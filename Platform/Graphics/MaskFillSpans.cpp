#include "Graphics/MaskFillSpans.h"

#include <algorithm>
#include <cmath>

// The vector loops need SSE2 and 64-bit general registers (x86-64 has both).
#if defined(__SSE2__) && defined(__x86_64__)
#define KANVARO_SPANS_SSE2 1
#include <emmintrin.h>
#endif

namespace gfx::maskfill {

namespace {

// The colour's channels as fill and fillScalar take them: clamped to 0-1, alpha multiplied in.
struct UnitColour {
    float a, r, g, b;
    explicit UnitColour(const Color& color)
    {
        auto unit = [](float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; };
        a = unit(color.alpha);
        r = unit(color.red) * a;
        g = unit(color.green) * a;
        b = unit(color.blue) * a;
    }
};

} // namespace

void SourceTable::fillScalar(const Color& color)
{
    const UnitColour u(color);
    for (int s = 0; s < 256; ++s) {
        const float c = static_cast<float>(255 - s);
        // Never negative, so truncating after adding a half rounds halves up, as the vector
        // table's truncating conversion does.
        auto level = [c](float v) {
            return static_cast<std::uint32_t>(v * c + 0.5f); // NOLINT(bugprone-incorrect-roundings)
        };
        set(static_cast<std::size_t>(s), (level(u.a) << 24) | (level(u.r) << 16) | (level(u.g) << 8) | level(u.b));
    }
}

#if defined(KANVARO_SPANS_SSE2)

// Four samples at a time, one channel to a register: the same single-precision product and
// rounding per channel as fillScalar (no fused multiply-add in either).
void SourceTable::fill(const Color& color)
{
    const UnitColour u(color);
    const __m128 a = _mm_set1_ps(u.a), r = _mm_set1_ps(u.r), g = _mm_set1_ps(u.g), b = _mm_set1_ps(u.b);
    const __m128 half = _mm_set1_ps(0.5f);
    __m128i coverage = _mm_setr_epi32(255, 254, 253, 252);
    for (std::size_t s = 0; s < 256; s += 4) {
        const __m128 c = _mm_cvtepi32_ps(coverage);
        auto level = [&](__m128 v) { return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(v, c), half)); };
        const __m128i alpha = level(a);
        const __m128i words = _mm_or_si128(_mm_or_si128(_mm_slli_epi32(alpha, 24), _mm_slli_epi32(level(r), 16)),
                                           _mm_or_si128(_mm_slli_epi32(level(g), 8), level(b)));
        const __m128i keep = _mm_sub_epi32(_mm_set1_epi32(255), alpha);
        const __m128i keeps = _mm_or_si128(keep, _mm_slli_epi32(keep, 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m_words.data() + s), words);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m_wordsAndKeeps.data() + s), _mm_unpacklo_epi32(words, keeps));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m_wordsAndKeeps.data() + s + 2), _mm_unpackhi_epi32(words, keeps));
        coverage = _mm_sub_epi32(coverage, _mm_set1_epi32(4));
    }
}

#else

void SourceTable::fill(const Color& color) { fillScalar(color); }

#endif

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

// The readers the loops take their samples from. next() gives one sample and steps on; the
// four-pixel loops also call next4 for four at once, and at(i) for a reader from pixel i of
// the span (counted from where the reader started).

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
    std::uint8_t next()
    {
        const std::uint8_t s = samples[(v >> 32) * rowBytes + (u >> 32)];
        u += du;
        v += dv;
        return s;
    }
    void next4(unsigned (&s)[4])
    {
        for (unsigned& sample : s)
            sample = next();
    }
    Walker at(int i) const { return Walker({u + i * du, v + i * dv, du, dv}, samples, static_cast<int>(rowBytes)); }
};

struct ColumnReader {
    const std::uint8_t* const row;
    const std::int32_t* offsets;

    explicit ColumnReader(const ColumnSamples& samples) : row(samples.row), offsets(samples.offsets) {}
    std::uint8_t next() { return row[*offsets++]; }
    void next4(unsigned (&s)[4])
    {
        s[0] = row[offsets[0]];
        s[1] = row[offsets[1]];
        s[2] = row[offsets[2]];
        s[3] = row[offsets[3]];
        offsets += 4;
    }
    ColumnReader at(int i) const { return ColumnReader({row, offsets + i}); }
};

template <class Reader>
void sourceOverScalarLoop(std::uint32_t* dst, int count, Reader reader, const SourceTable& table)
{
    for (int i = 0; i < count; ++i) {
        const std::uint32_t src = table[reader.next()];
        dst[i] = src + scaleLanes(dst[i], 255 - (src >> 24));
    }
}

template <class Reader> void clearScalarLoop(std::uint32_t* dst, int count, Reader reader)
{
    for (int i = 0; i < count; ++i)
        dst[i] = scaleLanes(dst[i], reader.next());
}

#if defined(KANVARO_SPANS_SSE2)

// Four pixels, every 8-bit lane times its pixel's factor (0-255, in both 16-bit halves of each
// 32-bit lane of `factors`), divided by 255 with rounding: the arithmetic of scaleLanes, with
// blue and red in the low bytes of the 16-bit lanes and green and alpha in the high ones.
// For t = x * f + 0x80 (at most 65153), scaleLanes' (t + (t >> 8)) >> 8 equals (t x 257) >> 16,
// the high half of one unsigned multiply.
inline __m128i scalePixels(__m128i pixels, __m128i factors)
{
    const __m128i half = _mm_set1_epi16(0x80), by257 = _mm_set1_epi16(257);
    const __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(pixels, _mm_set1_epi16(0xFF)), factors), half);
    const __m128i ag = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(pixels, 8), factors), half);
    return _mm_or_si128(_mm_mulhi_epu16(rb, by257), _mm_slli_epi16(_mm_mulhi_epu16(ag, by257), 8));
}

// One factor per 32-bit lane (0-255) copied into both of its 16-bit halves.
inline __m128i pairFactors(__m128i factors) { return _mm_or_si128(factors, _mm_slli_epi32(factors, 16)); }

// The walk four pixels at a time: the positions in 64-bit lanes, stepped as the scalar walk
// steps them, and the sample offsets v x rowBytes + u of four pixels by one multiply-add of
// their whole parts in 16-bit halves. Only for masks whose sides and row length fit those halves.
class QuadWalker {
public:
    // True when the span has a quad and both ends of it (so every position between) have
    // whole parts that fit a signed 16-bit half, as does the row length.
    static bool fits(const SampleWalk& walk, int count, int rowBytes)
    {
        if (count < 4 || rowBytes <= 0 || rowBytes > kMaxHalf)
            return false;
        const std::int64_t last = count - 1;
        return inHalf(walk.u) && inHalf(walk.v) && inHalf(walk.u + last * walk.du) && inHalf(walk.v + last * walk.dv);
    }

    QuadWalker(const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
        : m_start(walk)
        , m_samples(samples)
        , m_rowBytes(rowBytes)
        , m_u01(_mm_set_epi64x(walk.u + walk.du, walk.u))
        , m_u23(_mm_set_epi64x(walk.u + 3 * walk.du, walk.u + 2 * walk.du))
        , m_v01(_mm_set_epi64x(walk.v + walk.dv, walk.v))
        , m_v23(_mm_set_epi64x(walk.v + 3 * walk.dv, walk.v + 2 * walk.dv))
        , m_du4(_mm_set1_epi64x(4 * walk.du))
        , m_dv4(_mm_set1_epi64x(4 * walk.dv))
        , m_rowAndOne(_mm_set1_epi32(rowBytes | (1 << 16)))
    {
    }

    // The next four samples, then four steps on.
    void next4(unsigned (&s)[4])
    {
        const __m128i u = wholeParts(m_u01, m_u23), v = wholeParts(m_v01, m_v23);
        const __m128i offsets = _mm_madd_epi16(_mm_or_si128(v, _mm_slli_epi32(u, 16)), m_rowAndOne);
        const auto at01 = static_cast<std::uint64_t>(_mm_cvtsi128_si64(offsets));
        const auto at23 = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(offsets, offsets)));
        s[0] = m_samples[static_cast<std::uint32_t>(at01)];
        s[1] = m_samples[at01 >> 32];
        s[2] = m_samples[static_cast<std::uint32_t>(at23)];
        s[3] = m_samples[at23 >> 32];
        m_u01 = _mm_add_epi64(m_u01, m_du4);
        m_u23 = _mm_add_epi64(m_u23, m_du4);
        m_v01 = _mm_add_epi64(m_v01, m_dv4);
        m_v23 = _mm_add_epi64(m_v23, m_dv4);
    }

    Walker at(int i) const { return Walker(m_start, m_samples, m_rowBytes).at(i); }

private:
    static constexpr int kMaxHalf = 32767;

    static bool inHalf(std::int64_t position) { return position >= 0 && (position >> 32) <= kMaxHalf; }

    // The high 32 bits (the whole sample index) of four 64-bit positions.
    static __m128i wholeParts(__m128i p01, __m128i p23)
    {
        return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(p01), _mm_castsi128_ps(p23), _MM_SHUFFLE(3, 1, 3, 1)));
    }

    SampleWalk m_start;
    const std::uint8_t* m_samples;
    int m_rowBytes;
    __m128i m_u01, m_u23, m_v01, m_v23, m_du4, m_dv4, m_rowAndOne;
};

// Four pixels of a source-over span, from their samples: skipped when all four are empty and
// sample 255 lays nothing. Each table entry is one 64-bit load: the source word and the factor
// the destination keeps.
inline void sourceOverQuad(std::uint32_t* dst, const unsigned (&s)[4], const SourceTable& table, bool emptyKeepsPixels)
{
    if (emptyKeepsPixels && (s[0] & s[1] & s[2] & s[3]) == 255)
        return;
    const std::uint64_t* entries = table.wordsAndKeeps();
    auto entry = [entries](unsigned sample) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(entries + sample));
    };
    const __m128 e01 = _mm_castsi128_ps(_mm_unpacklo_epi64(entry(s[0]), entry(s[1])));
    const __m128 e23 = _mm_castsi128_ps(_mm_unpacklo_epi64(entry(s[2]), entry(s[3])));
    const __m128i src = _mm_castps_si128(_mm_shuffle_ps(e01, e23, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i keep = _mm_castps_si128(_mm_shuffle_ps(e01, e23, _MM_SHUFFLE(3, 1, 3, 1)));
    auto* at = reinterpret_cast<__m128i*>(dst);
    // A 32-bit add, as the scalar loop does, so even out-of-range tables give the same words.
    _mm_storeu_si128(at, _mm_add_epi32(src, scalePixels(_mm_loadu_si128(at), keep)));
}

inline void clearQuad(std::uint32_t* dst, const unsigned (&s)[4])
{
    if ((s[0] & s[1] & s[2] & s[3]) == 255)
        return; // each pixel keeps all of itself
    auto* at = reinterpret_cast<__m128i*>(dst);
    const __m128i factors =
        _mm_setr_epi32(static_cast<int>(s[0]), static_cast<int>(s[1]), static_cast<int>(s[2]), static_cast<int>(s[3]));
    _mm_storeu_si128(at, scalePixels(_mm_loadu_si128(at), pairFactors(factors)));
}

// A span's last one to three pixels (the tail) as one more quad. Where the span has four
// pixels or more and sample 255 keeps a pixel exactly, the quad is the span's last four, the
// pixels before the tail given sample 255; it goes first, so the main loop's last load does
// not wait on its store. Otherwise it goes through a copy, and what the spare lanes compute is
// dropped.
template <class Quads, class Quad>
void tailQuad(std::uint32_t* dst, int count, const Quads& quads, bool emptyKeepsPixels, Quad quad)
{
    const int left = count % 4;
    if (left == 0)
        return;
    auto reader = quads.at(count - left);
    unsigned s[4] = {255, 255, 255, 255};
    if (count >= 4 && emptyKeepsPixels) {
        for (int k = 4 - left; k < 4; ++k)
            s[k] = reader.next();
        quad(dst + count - 4, s);
        return;
    }
    std::uint32_t pixels[4] = {};
    for (int k = 0; k < left; ++k) {
        s[k] = reader.next();
        pixels[k] = dst[count - left + k];
    }
    quad(pixels, s);
    std::copy_n(pixels, left, dst + count - left);
}

// The readers are taken by value: held in locals, stores to dst cannot alias them.
template <class Quads> void sourceOverQuads(std::uint32_t* dst, int count, Quads quads, const SourceTable& table)
{
    // Where sample 255 lays nothing (every real colour's table), it keeps pixels exactly, and
    // four such pixels are skipped.
    const bool emptyKeepsPixels = table[255] == 0;
    tailQuad(dst, count, quads, emptyKeepsPixels,
             [&](std::uint32_t* at, const unsigned(&s)[4]) { sourceOverQuad(at, s, table, emptyKeepsPixels); });
    for (int i = 0; i + 4 <= count; i += 4) {
        unsigned s[4];
        quads.next4(s);
        sourceOverQuad(dst + i, s, table, emptyKeepsPixels);
    }
}

template <class Quads> void clearQuads(std::uint32_t* dst, int count, Quads quads)
{
    tailQuad(dst, count, quads, true, [](std::uint32_t* at, const unsigned(&s)[4]) { clearQuad(at, s); });
    for (int i = 0; i + 4 <= count; i += 4) {
        unsigned s[4];
        quads.next4(s);
        clearQuad(dst + i, s);
    }
}

#endif

} // namespace

void blendSourceOverScalar(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                           int rowBytes, const SourceTable& table)
{
    sourceOverScalarLoop(dst, count, Walker(walk, samples, rowBytes), table);
}

void blendClearScalar(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    clearScalarLoop(dst, count, Walker(walk, samples, rowBytes));
}

void blendSourceOverScalar(std::uint32_t* dst, int count, const ColumnSamples& samples, const SourceTable& table)
{
    sourceOverScalarLoop(dst, count, ColumnReader(samples), table);
}

void blendClearScalar(std::uint32_t* dst, int count, const ColumnSamples& samples)
{
    clearScalarLoop(dst, count, ColumnReader(samples));
}

#if defined(KANVARO_SPANS_SSE2)

void blendSourceOverSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table)
{
    if (QuadWalker::fits(walk, count, rowBytes))
        sourceOverQuads(dst, count, QuadWalker(walk, samples, rowBytes), table);
    else
        sourceOverQuads(dst, count, Walker(walk, samples, rowBytes), table);
}

void blendClearSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    if (QuadWalker::fits(walk, count, rowBytes))
        clearQuads(dst, count, QuadWalker(walk, samples, rowBytes));
    else
        clearQuads(dst, count, Walker(walk, samples, rowBytes));
}

void blendSourceOverSse2(std::uint32_t* dst, int count, const ColumnSamples& samples, const SourceTable& table)
{
    sourceOverQuads(dst, count, ColumnReader(samples), table);
}

void blendClearSse2(std::uint32_t* dst, int count, const ColumnSamples& samples)
{
    clearQuads(dst, count, ColumnReader(samples));
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

void blendSourceOverSse2(std::uint32_t* dst, int count, const ColumnSamples& samples, const SourceTable& table)
{
    blendSourceOverScalar(dst, count, samples, table);
}

void blendClearSse2(std::uint32_t* dst, int count, const ColumnSamples& samples)
{
    blendClearScalar(dst, count, samples);
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

void blendSourceOver(std::uint32_t* dst, int count, const ColumnSamples& samples, const SourceTable& table)
{
    switch (chosenPath()) {
    case SpanPath::Sse2: return blendSourceOverSse2(dst, count, samples, table);
    case SpanPath::Scalar: break;
    }
    blendSourceOverScalar(dst, count, samples, table);
}

void blendClear(std::uint32_t* dst, int count, const ColumnSamples& samples)
{
    switch (chosenPath()) {
    case SpanPath::Sse2: return blendClearSse2(dst, count, samples);
    case SpanPath::Scalar: break;
    }
    blendClearScalar(dst, count, samples);
}

} // namespace gfx::maskfill
