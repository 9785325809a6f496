#include "Graphics/ImageMask.h"

#include <cairo.h>

#include <algorithm>

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

IntRect ImageMask::paintedBounds() const
{
    std::call_once(m_paintedOnce, [this] {
        int x0 = m_width, y0 = m_height, x1 = -1, y1 = -1;
        for (int y = 0; y < m_height; ++y) {
            const std::uint8_t* row = m_samples.data() + static_cast<std::size_t>(y) * m_rowBytes;
            int first = 0, last = m_width - 1;
            while (first < m_width && row[first] == 255)
                ++first;
            if (first == m_width)
                continue;
            while (row[last] == 255)
                --last;
            x0 = std::min(x0, first);
            x1 = std::max(x1, last);
            y0 = std::min(y0, y);
            y1 = y;
        }
        m_painted = x1 < 0 ? IntRect{} : IntRect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
    });
    return m_painted;
}

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
