#pragma once
// PNG and JPEG encoding of 32-bit pixels (0xAARRGGBB little-endian words, rows of bytesPerRow).
#include <cstdint>
#include <vector>

#include "Foundation/Result.h"

namespace imageio {

struct PixelsView {
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int bytesPerRow = 0;
    bool premultiplied = true; // premultiplied pixels are unpremultiplied for the file
};

// Row filters tried before compression. kSub alone is several times faster than letting the
// encoder pick per row (kAdaptive) and costs little size on painted pictures (bench/png_encode).
enum class PngFilter { kNone, kSub, kUp, kPaeth, kAdaptive };

struct PngOptions {
    int compressionLevel = 1; // zlib level 0-9
    bool alpha = true;        // RGBA; false writes RGB
    PngFilter filter = PngFilter::kSub;
};

// PNG with alpha (8 bits per channel).
fnd::Result<std::vector<std::uint8_t>> encodePng(const PixelsView& pixels, const PngOptions& options = {});
// JPEG at a quality from 0.0 to 1.0 (0.8 means libjpeg quality 80); alpha is dropped.
fnd::Result<std::vector<std::uint8_t>> encodeJpeg(const PixelsView& pixels, double quality);

} // namespace imageio
