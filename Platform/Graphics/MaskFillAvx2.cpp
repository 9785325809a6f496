// The dab kernel's span loops eight pixels a step. Built with AVX2 enabled for this file only;
// MaskFillSpans.cpp calls them when the CPU reports AVX2. The arithmetic is that of the SSE2
// loops, lane for lane (the 256-bit unpack and pack instructions work within 128-bit halves,
// which keeps each pixel's channels beside its own factor).
#include "Graphics/MaskFillSpans.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include <cstdint>
#endif

namespace gfx::maskfill {

#if defined(__AVX2__)

namespace {

inline __m256i scale16(__m256i x, __m256i f)
{
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, f), _mm256_set1_epi16(0x80));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

inline __m256i scalePixels(__m256i pixels, __m256i factors)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i paired = _mm256_or_si256(factors, _mm256_slli_epi32(factors, 16));
    const __m256i low = scale16(_mm256_unpacklo_epi8(pixels, zero), _mm256_unpacklo_epi32(paired, paired));
    const __m256i high = scale16(_mm256_unpackhi_epi8(pixels, zero), _mm256_unpackhi_epi32(paired, paired));
    return _mm256_packus_epi16(low, high);
}

// Eight samples of the walk, as 32-bit lanes, and the walk moved on past them, one at a time.
inline __m256i nextEight(SampleWalk& w, const std::uint8_t* samples, std::int64_t rowBytes)
{
    int s[8];
    for (int& sample : s) {
        sample = samples[(w.v >> 32) * rowBytes + (w.u >> 32)];
        w.u += w.du;
        w.v += w.dv;
    }
    return _mm256_setr_epi32(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]);
}

// The same walk eight pixels at once: positions in 64-bit lanes (pixels 0-3 and 4-7), sample
// indices formed in vector registers and the samples read as the aligned 32-bit words that hold
// them. Only for masks whose rows are whole words from a word-aligned start, so every word read
// lies inside the mask's buffer.
class VectorWalk {
public:
    VectorWalk(const SampleWalk& w, const std::uint8_t* samples, int rowBytes)
        : m_samples(reinterpret_cast<const int*>(samples)), m_rowBytes(_mm256_set1_epi64x(rowBytes)),
          m_du8(_mm256_set1_epi64x(w.du * 8)), m_dv8(_mm256_set1_epi64x(w.dv * 8))
    {
        m_uLow = _mm256_setr_epi64x(w.u, w.u + w.du, w.u + 2 * w.du, w.u + 3 * w.du);
        m_vLow = _mm256_setr_epi64x(w.v, w.v + w.dv, w.v + 2 * w.dv, w.v + 3 * w.dv);
        m_uHigh = _mm256_add_epi64(m_uLow, _mm256_set1_epi64x(w.du * 4));
        m_vHigh = _mm256_add_epi64(m_vLow, _mm256_set1_epi64x(w.dv * 4));
    }

    static bool fits(const std::uint8_t* samples, int rowBytes)
    {
        return rowBytes % 4 == 0 && reinterpret_cast<std::uintptr_t>(samples) % 4 == 0;
    }

    __m256i next()
    {
        const __m256i index = packLow32(indices(m_uLow, m_vLow), indices(m_uHigh, m_vHigh));
        const __m256i three = _mm256_set1_epi32(3);
        const __m256i words = _mm256_i32gather_epi32(m_samples, _mm256_andnot_si256(three, index), 1);
        const __m256i shift = _mm256_slli_epi32(_mm256_and_si256(index, three), 3);
        m_uLow = _mm256_add_epi64(m_uLow, m_du8);
        m_vLow = _mm256_add_epi64(m_vLow, m_dv8);
        m_uHigh = _mm256_add_epi64(m_uHigh, m_du8);
        m_vHigh = _mm256_add_epi64(m_vHigh, m_dv8);
        return _mm256_and_si256(_mm256_srlv_epi32(words, shift), _mm256_set1_epi32(0xFF));
    }

private:
    // (v >> 32) x rowBytes + (u >> 32) per 64-bit lane; every position is inside the mask, so
    // the shifted values are small and non-negative.
    __m256i indices(__m256i u, __m256i v) const
    {
        return _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(v, 32), m_rowBytes), _mm256_srli_epi64(u, 32));
    }
    // The low 32 bits of each 64-bit lane of a (pixels 0-3) and b (pixels 4-7), in order.
    static __m256i packLow32(__m256i a, __m256i b)
    {
        const __m256i order = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
        return _mm256_permute2x128_si256(_mm256_permutevar8x32_epi32(a, order), _mm256_permutevar8x32_epi32(b, order),
                                         0x20);
    }

    const int* m_samples;
    __m256i m_rowBytes, m_du8, m_dv8;
    __m256i m_uLow, m_vLow, m_uHigh, m_vHigh;
};

// The walk after `steps` pixels.
SampleWalk advanced(const SampleWalk& w, int steps) { return {w.u + w.du * steps, w.v + w.dv * steps, w.du, w.dv}; }

} // namespace

bool avx2SpansBuilt() { return true; }

void blendSourceOverAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table)
{
    const auto* entries = reinterpret_cast<const int*>(table.data());
    const __m256i alphaMask = _mm256_set1_epi32(0xFF);
    auto blend = [&](std::uint32_t* at8, __m256i sampleLanes) {
        const __m256i src = _mm256_i32gather_epi32(entries, sampleLanes, 4);
        const __m256i keep = _mm256_xor_si256(_mm256_srli_epi32(src, 24), alphaMask); // 255 - alpha
        auto* at = reinterpret_cast<__m256i*>(at8);
        _mm256_storeu_si256(at, _mm256_add_epi32(src, scalePixels(_mm256_loadu_si256(at), keep)));
    };
    const int whole = count / 8 * 8;
    if (VectorWalk::fits(samples, rowBytes)) {
        VectorWalk vector(walk, samples, rowBytes);
        for (int i = 0; i < whole; i += 8)
            blend(dst + i, vector.next());
    } else {
        SampleWalk w = walk;
        for (int i = 0; i < whole; i += 8)
            blend(dst + i, nextEight(w, samples, rowBytes));
    }
    blendSourceOverScalar(dst + whole, count - whole, advanced(walk, whole), samples, rowBytes, table);
}

void blendClearAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    auto clear = [](std::uint32_t* at8, __m256i keep) {
        auto* at = reinterpret_cast<__m256i*>(at8);
        _mm256_storeu_si256(at, scalePixels(_mm256_loadu_si256(at), keep));
    };
    const int whole = count / 8 * 8;
    if (VectorWalk::fits(samples, rowBytes)) {
        VectorWalk vector(walk, samples, rowBytes);
        for (int i = 0; i < whole; i += 8)
            clear(dst + i, vector.next());
    } else {
        SampleWalk w = walk;
        for (int i = 0; i < whole; i += 8)
            clear(dst + i, nextEight(w, samples, rowBytes));
    }
    blendClearScalar(dst + whole, count - whole, advanced(walk, whole), samples, rowBytes);
}

#else

bool avx2SpansBuilt() { return false; }

void blendSourceOverAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table)
{
    blendSourceOverScalar(dst, count, walk, samples, rowBytes, table);
}

void blendClearAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    blendClearScalar(dst, count, walk, samples, rowBytes);
}

#endif

} // namespace gfx::maskfill
