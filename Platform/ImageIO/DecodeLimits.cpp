#include "ImageIO/DecodeLimits.h"

#include <string>

#include "ImageIO/Decoder.h"

namespace imageio::detail {

fnd::Status checkDecodableSize(std::int64_t width, std::int64_t height)
{
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0)
        return fnd::Error{"picture has no pixels: " + size};
    if (width > kMaxDecodeSide || height > kMaxDecodeSide || width * height > kMaxDecodePixels)
        return fnd::Error{"picture too large: " + size};
    return {};
}

} // namespace imageio::detail
