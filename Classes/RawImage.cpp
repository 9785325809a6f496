#include "RawImage.h"

#include "Foundation/Assert.h"
#include "Foundation/Log.h"
#include "ImageIO/Decoder.h"

#include <algorithm>
#include <string>

RawImage::RawImage(Token, int width, int height, PixelBuffer pixels)
    : m_width(width), m_height(height), m_rb(width * 4), m_pixels(std::move(pixels))
{
}

std::unique_ptr<RawImage> RawImage::initWithWidth(int width, int height)
{
    // The same limits as for decoded photos: nothing larger can reach us legitimately.
    const bool sideOk =
        width > 0 && height > 0 && width <= imageio::kMaxDecodeSide && height <= imageio::kMaxDecodeSide;
    if (!sideOk || static_cast<std::int64_t>(width) * height > imageio::kMaxDecodePixels) {
        fnd::log("RawImage: refusing a block of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
        return nullptr;
    }
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(width) * 4
                                                              * static_cast<std::size_t>(height));
    return std::make_unique<RawImage>(Token{}, width, height, std::move(pixels));
}

std::array<float, 4> RawImage::pixelComponentsAtX(int x, int y) const
{
    const CColor color = pixelAtX(x, y);
    return {static_cast<float>(color.Red()) / 255.0f, static_cast<float>(color.Green()) / 255.0f,
            static_cast<float>(color.Blue()) / 255.0f, 1.0f};
}

gfx::ImageRef RawImage::createCompatibleImage() const
{
    return gfx::Image::create(m_width, m_height, m_rb, gfx::Image::Alpha::Straight, m_pixels);
}

gfx::ImageRef RawImage::createCompatibleThumbnailAtSize(int n) const
{
    std::unique_ptr<RawImage> thumbnail = initWithWidth(n, n);
    if (!thumbnail)
        return nullptr;
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(thumbnail->m_pixels->size());

    const float step = static_cast<float>(std::min(m_width, m_height)) / static_cast<float>(n);
    int xOff = 0;
    int yOff = 0;
    if (static_cast<float>(m_width) / static_cast<float>(m_height) > 1.0f)
        xOff = (m_width - m_height) / 2;
    else
        yOff = (m_height - m_width) / 2;

    // Source coordinates per thumbnail column and row, checked here once rather than per pixel.
    std::vector<int> xSources(static_cast<std::size_t>(n));
    std::vector<int> ySources(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int xSrc = xOff + static_cast<int>(step * static_cast<float>(i));
        const int ySrc = yOff + static_cast<int>(step * static_cast<float>(i));
        KANVARO_ASSERT(xSrc < width());
        KANVARO_ASSERT(ySrc < height());
        xSources[static_cast<std::size_t>(i)] = xSrc;
        ySources[static_cast<std::size_t>(i)] = ySrc;
    }

    // A block that is not upright yet shows its square transposed.
    const bool transpose = m_orientation != imageio::kOrientationUp;
    std::uint8_t* const target = pixels->data();
    const std::size_t targetRowBytes = static_cast<std::size_t>(thumbnail->m_rb);
    CPixelWalker walker(target, n, n, thumbnail->m_bpp / 8, thumbnail->m_rb);
    walker.Walk([&](std::uint8_t* pixel, int row, int column) {
        std::uint8_t* destination =
            transpose ? target + static_cast<std::size_t>(column) * targetRowBytes + static_cast<std::size_t>(row) * 4
                      : pixel;
        const auto r = static_cast<std::size_t>(row);
        const auto c = static_cast<std::size_t>(column);
        pixelAtX(xSources[c], ySources[r]).Store(destination);
    });
    thumbnail->m_pixels = std::move(pixels);
    return thumbnail->createCompatibleImage();
}
