#pragma once
// An image mask: width x height 8-bit samples in rows padded to a multiple of 4 bytes. A sample v
// lays paint with coverage (255 - v) / 255: 0 paints fully and 255 not at all.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "Graphics/Geometry.h"

namespace gfx {

namespace detail {
struct CachedSurface; // a cairo surface, defined in CairoHandles.h (Graphics only)
}

class ImageMask {
public:
    // Row length for a mask `width` samples wide: the smallest multiple of 4 that is at least width.
    static constexpr int rowBytesFor(int width) { return (width + 3) & ~3; }

    // Takes ownership of `samples` (height rows of rowBytes bytes, rowBytes >= width and a
    // multiple of 4). `interpolate` false samples the nearest mask sample when stretched.
    // nullptr when sizes are out of range or the buffer is too short.
    static std::shared_ptr<const ImageMask> create(int width, int height, int rowBytes,
                                                   std::vector<std::uint8_t> samples, bool interpolate);
    ~ImageMask();
    ImageMask(const ImageMask&) = delete;
    ImageMask& operator=(const ImageMask&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    int rowBytes() const { return m_rowBytes; }
    bool interpolate() const { return m_interpolate; }
    const std::uint8_t* samples() const { return m_samples.data(); }
    std::uint8_t sampleAt(int x, int y) const { return m_samples[static_cast<std::size_t>(y) * m_rowBytes + x]; }
    // Coverage 0-255 of a sample: 255 - v.
    std::uint8_t coverageAt(int x, int y) const { return static_cast<std::uint8_t>(255 - sampleAt(x, y)); }

    // The smallest rectangle of samples holding every sample that paints (v < 255); empty when
    // none does. Found once, at first use: fills skip what lies outside it.
    IntRect paintedBounds() const;

    // An A8 surface of coverages (255 - v), made once, safe from several threads. Graphics layer only.
    const detail::CachedSurface& coverageSurface() const;

private:
    ImageMask(int width, int height, int rowBytes, std::vector<std::uint8_t> samples, bool interpolate);

    int m_width;
    int m_height;
    int m_rowBytes;
    bool m_interpolate;
    std::vector<std::uint8_t> m_samples;
    void makeCoverageSurface() const;

    mutable std::once_flag m_paintedOnce;
    mutable IntRect m_painted;
    mutable std::once_flag m_surfaceMade;
    mutable std::vector<std::uint8_t> m_coverage;
    mutable std::unique_ptr<detail::CachedSurface> m_surface;
};

using ImageMaskRef = std::shared_ptr<const ImageMask>;

} // namespace gfx
