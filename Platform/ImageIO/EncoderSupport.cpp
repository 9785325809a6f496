#include "ImageIO/EncoderSupport.h"

#include <cstdint>
#include <string>

namespace imageio::detail {

fnd::Status checkEncodablePixels(const PixelsView& pixels, int maxSide)
{
    if (!pixels.data)
        return fnd::Error{"no pixels to encode"};
    const std::string size = std::to_string(pixels.width) + " x " + std::to_string(pixels.height);
    if (pixels.width <= 0 || pixels.height <= 0)
        return fnd::Error{"picture has no pixels: " + size};
    if (pixels.width > maxSide || pixels.height > maxSide)
        return fnd::Error{"picture too large to encode: " + size};
    if (pixels.bytesPerRow < static_cast<std::int64_t>(pixels.width) * 4)
        return fnd::Error{"rows of " + std::to_string(pixels.bytesPerRow) + " bytes are too short for "
                          + std::to_string(pixels.width) + " pixels"};
    return {};
}

} // namespace imageio::detail
