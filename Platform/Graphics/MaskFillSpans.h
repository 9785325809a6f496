#pragma once
// Internal to the dab kernel (MaskFill.cpp): the per-row blend loops. Each walks the mask in
// 32.32 fixed point, one nearest sample per destination pixel, and blends into `count` ARGB32
// words. The vector versions give the same words as the scalar ones for every input; the
// scalar ones stay as their reference and as the path for CPUs without SSE2.
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

} // namespace gfx::maskfill
