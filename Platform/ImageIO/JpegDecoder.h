#pragma once
// JPEG decoding into 32-bit pixels (bytes blue, green, red, alpha 255), with the EXIF orientation.
#include <cstddef>
#include <cstdint>

#include "Foundation/Result.h"
#include "ImageIO/DecodedImage.h"

namespace imageio::detail {

bool looksLikeJpeg(const std::uint8_t* data, std::size_t size);
fnd::Result<DecodedImage> decodeJpeg(const std::uint8_t* data, std::size_t size);

} // namespace imageio::detail
