#include "Graphics/UprightPixels.h"

#include "Graphics/PixelFormat.h"

namespace gfx {

namespace {

// Source pixel shown at upright position (x, y) of a W' x H' result, for a w x h source.
struct SourceMap {
    int code, w, h;
    void operator()(int x, int y, int& sx, int& sy) const
    {
        switch (code) {
        case imageio::kOrientationDown:
            sx = w - 1 - x;
            sy = h - 1 - y;
            break;
        case imageio::kOrientationLeft:
            sx = w - 1 - y;
            sy = x;
            break; // turn counter-clockwise
        case imageio::kOrientationRight:
            sx = y;
            sy = h - 1 - x;
            break; // turn clockwise
        case imageio::kOrientationUpMirrored:
            sx = w - 1 - x;
            sy = y;
            break;
        case imageio::kOrientationDownMirrored:
            sx = x;
            sy = h - 1 - y;
            break;
        case imageio::kOrientationLeftMirrored:
            sx = y;
            sy = x;
            break;
        case imageio::kOrientationRightMirrored:
            sx = w - 1 - y;
            sy = h - 1 - x;
            break;
        default:
            sx = x;
            sy = y;
            break;
        }
    }
};

} // namespace

ImageRef uprightImage(const imageio::DecodedImage& d)
{
    if (!d.bytes || d.bitsPerPixel != 32 || d.width <= 0 || d.height <= 0 || d.bytesPerRow < d.width * 4)
        return nullptr;
    if (d.bytes->size() < static_cast<std::size_t>(d.height) * static_cast<std::size_t>(d.bytesPerRow))
        return nullptr;
    int ow = d.displayWidth(), oh = d.displayHeight();
    auto out = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(ow) * oh * kBytesPerPixel);
    auto* dst = reinterpret_cast<std::uint32_t*>(out->data());
    SourceMap map{d.orientation, d.width, d.height};
    for (int y = 0; y < oh; ++y) {
        for (int x = 0; x < ow; ++x) {
            int sx = x, sy = y;
            map(x, y, sx, sy);
            auto word = reinterpret_cast<const std::uint32_t*>(d.bytes->data()
                                                               + static_cast<std::size_t>(sy) * d.bytesPerRow)[sx];
            *dst++ = premultiply(word);
        }
    }
    return Image::create(ow, oh, ow * kBytesPerPixel, Image::Alpha::Premultiplied, std::move(out));
}

} // namespace gfx
