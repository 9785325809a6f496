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

bool isAboutMemory(std::string_view message)
{
    for (std::size_t at = message.find("emory"); at != std::string_view::npos; at = message.find("emory", at + 1))
        if (at > 0 && (message[at - 1] == 'm' || message[at - 1] == 'M'))
            return true;
    return false;
}

} // namespace imageio::detail
