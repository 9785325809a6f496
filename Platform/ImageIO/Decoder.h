#pragma once
// Photo decoding: JPEG (libjpeg-turbo) and PNG (libpng), from files or memory, into 32-bit
// pixels (see DecodedImage.h), with the EXIF orientation of JPEGs (libexif).
//
// Every input is outside input. Files are recognised by their signature, not their name.
// Grayscale, palette, 16-bit-per-channel, interlaced and progressive inputs decode to 32-bit
// pixels; CMYK JPEGs are converted; anything else is refused with an error. Pictures wider or
// taller than kMaxDecodeSide, or with more than kMaxDecodePixels pixels, are refused from their
// header, before any pixel memory is allocated.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Foundation/Result.h"
#include "ImageIO/DecodedImage.h"

namespace imageio {

inline constexpr int kMaxDecodeSide = 16384;
inline constexpr std::int64_t kMaxDecodePixels = 64LL * 1024 * 1024; // 256 MiB of 32-bit pixels

fnd::Result<DecodedImage> decodeFile(const std::string& path);
fnd::Result<DecodedImage> decodeMemory(const std::uint8_t* data, std::size_t size);

} // namespace imageio
