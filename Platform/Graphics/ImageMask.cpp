#include "Graphics/ImageMask.h"

#include <cairo.h>

#include "Graphics/CairoHandles.h"

#include "Graphics/PixelFormat.h"

namespace gfx {

std::shared_ptr<const ImageMask> ImageMask::create(int width, int height, int rowBytes,
                                                   std::vector<std::uint8_t> samples, bool interpolate)
{
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return nullptr;
    if (rowBytes < width || rowBytes % 4 != 0)
        return nullptr;
    if (samples.size() < static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height))
        return nullptr;
    return std::shared_ptr<const ImageMask>(new ImageMask(width, height, rowBytes, std::move(samples), interpolate));
}

ImageMask::ImageMask(int width, int height, int rowBytes, std::vector<std::uint8_t> samples, bool interpolate)
    : m_width(width), m_height(height), m_rowBytes(rowBytes), m_interpolate(interpolate), m_samples(std::move(samples))
{
}

ImageMask::~ImageMask() = default;

const detail::CachedSurface& ImageMask::coverageSurface() const
{
    std::call_once(m_surfaceMade, [this] { makeCoverageSurface(); });
    return *m_surface;
}

void ImageMask::makeCoverageSurface() const
{
    int stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, m_width);
    m_coverage.assign(static_cast<std::size_t>(stride) * m_height, 0);
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* src = m_samples.data() + static_cast<std::size_t>(y) * m_rowBytes;
        std::uint8_t* dst = m_coverage.data() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < m_width; ++x)
            dst[x] = static_cast<std::uint8_t>(255 - src[x]);
    }
    m_surface = std::make_unique<detail::CachedSurface>();
    m_surface->handle.reset(
        cairo_image_surface_create_for_data(m_coverage.data(), CAIRO_FORMAT_A8, m_width, m_height, stride));
}

} // namespace gfx
