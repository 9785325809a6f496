#pragma once
// PNG decoding into 32-bit pixels (bytes blue, green, red, alpha; straight alpha).
#include <cstddef>
#include <cstdint>

#include "Foundation/Result.h"
#include "ImageIO/DecodedImage.h"

namespace imageio::detail {

bool looksLikePng(const std::uint8_t* data, std::size_t size);
fnd::Result<DecodedImage> decodePng(const std::uint8_t* data, std::size_t size);

} // namespace imageio::detail
