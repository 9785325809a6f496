// The dab kernel's span loops eight pixels a step. Built with AVX2 enabled for this file only;
// MaskFillSpans.cpp calls them when the CPU reports AVX2. The arithmetic is that of the SSE2
// loops, lane for lane (the 256-bit unpack and pack instructions work within 128-bit halves,
// which keeps each pixel's channels beside its own factor). The walk's positions advance in
// vector registers and give eight sample indices a step; the samples and table entries are then
// read one by one (hardware gathers are slower than plain loads on common CPUs).
#include "Graphics/MaskFillSpans.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace gfx::maskfill {

#if defined(__AVX2__)

namespace {

inline __m256i scale16(__m256i x, __m256i f)
{
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, f), _mm256_set1_epi16(0x80));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// Eight pixels, every 8-bit lane times its pixel's factor (0-255, one per 32-bit lane of
// `factors`), divided by 255 with rounding.
inline __m256i scalePixels(__m256i pixels, __m256i factors)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i paired = _mm256_or_si256(factors, _mm256_slli_epi32(factors, 16));
    const __m256i low = scale16(_mm256_unpacklo_epi8(pixels, zero), _mm256_unpacklo_epi32(paired, paired));
    const __m256i high = scale16(_mm256_unpackhi_epi8(pixels, zero), _mm256_unpackhi_epi32(paired, paired));
    return _mm256_packus_epi16(low, high);
}

// The walk eight pixels at once: positions in 64-bit lanes (pixels 0-3 and 4-7), each step
// giving the eight sample indices (v >> 32) x rowBytes + (u >> 32), as the scalar walk forms them.
class VectorWalk {
public:
    VectorWalk(const SampleWalk& w, int rowBytes)
        : m_rowBytes(_mm256_set1_epi64x(rowBytes))
        , m_du8(_mm256_set1_epi64x(w.du * 8))
        , m_dv8(_mm256_set1_epi64x(w.dv * 8))
        , m_uLow(_mm256_setr_epi64x(w.u, w.u + w.du, w.u + 2 * w.du, w.u + 3 * w.du))
        , m_vLow(_mm256_setr_epi64x(w.v, w.v + w.dv, w.v + 2 * w.dv, w.v + 3 * w.dv))
        , m_uHigh(_mm256_add_epi64(m_uLow, _mm256_set1_epi64x(w.du * 4)))
        , m_vHigh(_mm256_add_epi64(m_vLow, _mm256_set1_epi64x(w.dv * 4)))
    {
    }

    // Stores the next eight indices and moves the walk on past them.
    void next(std::uint32_t (&index)[8])
    {
        const __m256i order = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
        const __m256i low = _mm256_permutevar8x32_epi32(indices(m_uLow, m_vLow), order);
        const __m256i high = _mm256_permutevar8x32_epi32(indices(m_uHigh, m_vHigh), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(index), _mm256_permute2x128_si256(low, high, 0x20));
        m_uLow = _mm256_add_epi64(m_uLow, m_du8);
        m_vLow = _mm256_add_epi64(m_vLow, m_dv8);
        m_uHigh = _mm256_add_epi64(m_uHigh, m_du8);
        m_vHigh = _mm256_add_epi64(m_vHigh, m_dv8);
    }

private:
    // Every position of the walk is inside the mask, so the shifted values are small and
    // non-negative and the index fits the low 32 bits of its lane.
    __m256i indices(__m256i u, __m256i v) const
    {
        return _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(v, 32), m_rowBytes), _mm256_srli_epi64(u, 32));
    }

    __m256i m_rowBytes, m_du8, m_dv8;
    __m256i m_uLow, m_vLow, m_uHigh, m_vHigh;
};

// The walk after `steps` pixels.
SampleWalk advanced(const SampleWalk& w, int steps) { return {w.u + w.du * steps, w.v + w.dv * steps, w.du, w.dv}; }

inline __m256i load8(const std::uint32_t (&lanes)[8])
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes));
}

} // namespace

bool avx2SpansBuilt() { return true; }

void blendSourceOverAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table)
{
    const __m256i alphaMask = _mm256_set1_epi32(0xFF);
    const int whole = count / 8 * 8;
    VectorWalk vector(walk, rowBytes);
    std::uint32_t index[8], source[8];
    for (int i = 0; i < whole; i += 8) {
        vector.next(index);
        for (int k = 0; k < 8; ++k)
            source[k] = table[samples[index[k]]];
        const __m256i src = load8(source);
        const __m256i keep = _mm256_xor_si256(_mm256_srli_epi32(src, 24), alphaMask); // 255 - alpha
        auto* at = reinterpret_cast<__m256i*>(dst + i);
        // A 32-bit add, as the scalar loop does, so even out-of-range tables give the same words.
        _mm256_storeu_si256(at, _mm256_add_epi32(src, scalePixels(_mm256_loadu_si256(at), keep)));
    }
    blendSourceOverScalar(dst + whole, count - whole, advanced(walk, whole), samples, rowBytes, table);
}

void blendClearAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    const int whole = count / 8 * 8;
    VectorWalk vector(walk, rowBytes);
    std::uint32_t index[8], keep[8];
    for (int i = 0; i < whole; i += 8) {
        vector.next(index);
        for (int k = 0; k < 8; ++k)
            keep[k] = samples[index[k]];
        auto* at = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(at, scalePixels(_mm256_loadu_si256(at), load8(keep)));
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
