// The dab kernel's span loops eight pixels a step. Built with AVX2 enabled for this file only;
// MaskFillSpans.cpp calls them when the CPU reports AVX2. The arithmetic is that of the SSE2
// loops, lane for lane (the 256-bit unpack and pack instructions work within 128-bit halves,
// which keeps each pixel's channels beside its own factor).
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

inline __m256i scalePixels(__m256i pixels, __m256i factors)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i paired = _mm256_or_si256(factors, _mm256_slli_epi32(factors, 16));
    const __m256i low = scale16(_mm256_unpacklo_epi8(pixels, zero), _mm256_unpacklo_epi32(paired, paired));
    const __m256i high = scale16(_mm256_unpackhi_epi8(pixels, zero), _mm256_unpackhi_epi32(paired, paired));
    return _mm256_packus_epi16(low, high);
}

// Eight samples of the walk, as 32-bit lanes, and the walk moved on past them.
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

} // namespace

bool avx2SpansBuilt() { return true; }

void blendSourceOverAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table)
{
    SampleWalk w = walk;
    const auto* entries = reinterpret_cast<const int*>(table.data());
    const __m256i alphaMask = _mm256_set1_epi32(0xFF);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i src = _mm256_i32gather_epi32(entries, nextEight(w, samples, rowBytes), 4);
        const __m256i keep = _mm256_xor_si256(_mm256_srli_epi32(src, 24), alphaMask); // 255 - alpha
        auto* at = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(at, _mm256_add_epi32(src, scalePixels(_mm256_loadu_si256(at), keep)));
    }
    blendSourceOverScalar(dst + i, count - i, w, samples, rowBytes, table);
}

void blendClearAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes)
{
    SampleWalk w = walk;
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i keep = nextEight(w, samples, rowBytes);
        auto* at = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(at, scalePixels(_mm256_loadu_si256(at), keep));
    }
    blendClearScalar(dst + i, count - i, w, samples, rowBytes);
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
