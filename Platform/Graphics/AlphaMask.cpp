#include "Graphics/AlphaMask.h"

#include <vector>

#include "Graphics/PixelFormat.h"

namespace gfx {

ImageMaskRef alphaMaskOf(const Image& image)
{
    const int w = image.width(), h = image.height();
    const int rowBytes = ImageMask::rowBytesFor(w);
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(rowBytes) * h, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            samples[static_cast<std::size_t>(y) * rowBytes + x] =
                static_cast<std::uint8_t>(255 - alphaOf(image.pixelAt(x, y)));
    return ImageMask::create(w, h, rowBytes, std::move(samples), true);
}

} // namespace gfx
