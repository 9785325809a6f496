#pragma once
// Internal to the dab kernel (MaskFill.cpp): the per-row blend loops. Each walks the mask in
// 32.32 fixed point, one nearest sample per destination pixel, and blends into `count` ARGB32
// words. Three paths give the same words for every input: scalar (the reference, and the path
// for CPUs without SSE2), SSE2 (four pixels a step) and AVX2 (eight, MaskFillAvx2.cpp).
// blendSourceOver and blendClear take the fastest path the CPU has, chosen once at first use.
#include <array>
#include <cstdint>

namespace gfx::maskfill {

// Mask position of the first pixel and its step per pixel, 32 fractional bits. Every position
// the walk visits must index a sample inside the mask.
struct SampleWalk {
    std::int64_t u, v, du, dv;
};

// The premultiplied source for every mask sample value s (coverage 255 - s).
using SourceTable = std::array<std::uint32_t, 256>;

// dst = source + dst x (255 - alpha(source)) / 255 per 8-bit lane, source = table[sample].
void blendSourceOver(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes,
                     const SourceTable& table);
void blendSourceOverScalar(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                           int rowBytes, const SourceTable& table);

// dst = dst x sample / 255 per 8-bit lane: the sample is what each pixel keeps.
void blendClear(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes);
void blendClearScalar(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes);

// The fixed-width paths, for the comparisons and benchmarks. Without SSE2 or AVX2 in the build
// they run the scalar loops.
void blendSourceOverSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table);
void blendClearSse2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes);
void blendSourceOverAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples,
                         int rowBytes, const SourceTable& table);
void blendClearAvx2(std::uint32_t* dst, int count, const SampleWalk& walk, const std::uint8_t* samples, int rowBytes);

enum class SpanPath { Scalar, Sse2, Avx2 };
// Whether this build and CPU can run the AVX2 loops.
bool avx2SpansBuilt();
bool avx2Available();
// The path blendSourceOver and blendClear take: the fastest available unless a benchmark forces
// another (a forced path the CPU lacks falls back to the fastest below it).
SpanPath activeSpanPath();
void forceSpanPath(SpanPath path);

} // namespace gfx::maskfill
