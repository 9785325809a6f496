#pragma once
// Surface pixels (32-bit premultiplied ARGB, native-endian) to the planar 4:2:0 picture a video
// encoder takes: BT.709 coefficients, limited range (luma 16-235, chroma 16-240), each chroma
// sample the average of a 2 x 2 block. Alpha is ignored, which for premultiplied pixels is the
// picture laid over black; the canvas is opaque anyway.
#include <cstdint>

namespace imageio {

struct YuvPlanes {
    std::uint8_t* y = nullptr;
    std::uint8_t* u = nullptr; // Cb
    std::uint8_t* v = nullptr; // Cr
    int yStride = 0;
    int uvStride = 0;
};

// Converts width x height pixels (both even and positive) with rows bytesPerRow apart into
// `planes`, whose luma holds width x height and whose chroma planes hold width/2 x height/2.
// Uses SSE2 where the build has it; the result is the same, bit for bit, as the reference's.
void convertArgbToYuv420(const std::uint8_t* pixels, int bytesPerRow, int width, int height, const YuvPlanes& planes);

namespace detail {

// The plain loops, the definition of the conversion's rounding.
void convertArgbToYuv420Reference(const std::uint8_t* pixels, int bytesPerRow, int width, int height,
                                  const YuvPlanes& planes);

} // namespace detail

} // namespace imageio
