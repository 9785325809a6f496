#pragma once
// JPEG decoding into 32-bit pixels (bytes blue, green, red, alpha 255), with the EXIF orientation.
#include <cstddef>
#include <cstdint>

#include "Foundation/Result.h"
#include "ImageIO/DecodedImage.h"

namespace imageio::detail {

bool looksLikeJpeg(const std::uint8_t* data, std::size_t size);
// With minShortSide > 0 the picture comes at 1/2, 1/4 or 1/8 of its size (rounded up) when its
// shorter side stays at least minShortSide: libjpeg scales in the transform itself, so an 8th
// of a photo costs a fraction of the full decode. 0 decodes at full size.
fnd::Result<DecodedImage> decodeJpeg(const std::uint8_t* data, std::size_t size, int minShortSide = 0);

} // namespace imageio::detail
