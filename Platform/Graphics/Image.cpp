#include "Graphics/Image.h"

#include <cairo.h>

#include "Graphics/CairoHandles.h"

#include "Foundation/Log.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/PixelFormat.h"
#include "Graphics/UprightPixels.h"
#include "ImageIO/Decoder.h"

namespace gfx {

std::shared_ptr<const Image> Image::create(int width, int height, int bytesPerRow, Alpha alpha, SharedBytes bytes,
                                           std::size_t offset)
{
    if (!bytes || width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return nullptr;
    if (bytesPerRow < width * kBytesPerPixel || bytesPerRow % 4 != 0)
        return nullptr;
    std::size_t needed = static_cast<std::size_t>(height) * static_cast<std::size_t>(bytesPerRow);
    if (offset > bytes->size() || bytes->size() - offset < needed)
        return nullptr;
    return std::shared_ptr<const Image>(new Image(width, height, bytesPerRow, alpha, std::move(bytes), offset));
}

Image::Image(int width, int height, int bytesPerRow, Alpha alpha, SharedBytes bytes, std::size_t offset)
    : m_width(width)
    , m_height(height)
    , m_bytesPerRow(bytesPerRow)
    , m_alpha(alpha)
    , m_bytes(std::move(bytes))
    , m_offset(offset)
{
}

Image::~Image() = default;

std::shared_ptr<const Image> Image::fromFile(const std::string& path)
{
    auto decoded = imageio::decodeFile(path);
    if (!decoded) {
        fnd::log("cannot load image " + path + ": " + decoded.error());
        return nullptr;
    }
    return uprightImage(decoded.value());
}

std::shared_ptr<const Image> Image::fromData(const std::uint8_t* data, std::size_t size)
{
    auto decoded = imageio::decodeMemory(data, size);
    if (!decoded) {
        fnd::log("cannot decode image: " + decoded.error());
        return nullptr;
    }
    return uprightImage(decoded.value());
}

std::uint32_t Image::pixelAt(int x, int y) const
{
    return reinterpret_cast<const std::uint32_t*>(data() + static_cast<std::size_t>(y) * m_bytesPerRow)[x];
}

Color Image::colorAt(int x, int y) const
{
    std::uint32_t p = pixelAt(x, y);
    if (m_alpha == Alpha::Premultiplied)
        p = unpremultiply(p);
    return {redOf(p) / 255.0f, greenOf(p) / 255.0f, blueOf(p) / 255.0f, alphaOf(p) / 255.0f};
}

std::shared_ptr<const Image> Image::scaledCopy(int width, int height) const
{
    auto context = BitmapContext::create(width, height);
    if (!context)
        return nullptr;
    // Drawn through a handle of its own, whose surface (and premultiplied copy) goes with it.
    const Image transient(m_width, m_height, m_bytesPerRow, m_alpha, m_bytes, m_offset);
    context->drawImage({0, 0, static_cast<double>(width), static_cast<double>(height)}, transient);
    return context->makeImage();
}

const detail::CachedSurface& Image::surface() const
{
    std::call_once(m_surfaceMade, [this] { makeSurface(); });
    return *m_surface;
}

void Image::makeSurface() const
{
    // cairo only reads source surfaces, so wrapping the shared bytes is safe.
    auto* pixels = const_cast<std::uint8_t*>(data());
    int stride = m_bytesPerRow;
    if (m_alpha == Alpha::Straight) {
        bool opaque = true;
        for (int y = 0; y < m_height && opaque; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(data() + static_cast<std::size_t>(y) * m_bytesPerRow);
            for (int x = 0; x < m_width; ++x) {
                if (alphaOf(row[x]) != 255) {
                    opaque = false;
                    break;
                }
            }
        }
        if (!opaque) {
            stride = m_width * kBytesPerPixel;
            m_premultipliedCopy.resize(static_cast<std::size_t>(stride) * m_height);
            for (int y = 0; y < m_height; ++y) {
                const auto* src =
                    reinterpret_cast<const std::uint32_t*>(data() + static_cast<std::size_t>(y) * m_bytesPerRow);
                auto* dst =
                    reinterpret_cast<std::uint32_t*>(m_premultipliedCopy.data() + static_cast<std::size_t>(y) * stride);
                for (int x = 0; x < m_width; ++x)
                    dst[x] = premultiply(src[x]);
            }
            pixels = m_premultipliedCopy.data();
        }
    }
    m_surface = std::make_unique<detail::CachedSurface>();
    m_surface->handle.reset(
        cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, m_width, m_height, stride));
}

} // namespace gfx
