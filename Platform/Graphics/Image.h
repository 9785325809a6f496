#pragma once
// An immutable picture: width x height ARGB32 pixels (see PixelFormat.h) over a shared buffer.
// Copies of the handle share the pixels; nothing can change them after creation.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Graphics/Color.h"
#include "Graphics/Geometry.h"

namespace gfx {

namespace detail {
struct CachedSurface; // a cairo surface, defined in CairoHandles.h (Graphics only)
}

using SharedBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

class Image {
public:
    enum class Alpha { Premultiplied, Straight };

    // Wraps `bytes` (not copied). Fails (nullptr) when the sizes are out of range or the buffer
    // is shorter than offset + height x bytesPerRow.
    static std::shared_ptr<const Image> create(int width, int height, int bytesPerRow, Alpha alpha, SharedBytes bytes,
                                               std::size_t offset = 0);
    // Decodes a PNG or JPEG file (upright, EXIF orientation applied); nullptr on failure.
    static std::shared_ptr<const Image> fromFile(const std::string& path);
    // Decodes PNG or JPEG bytes in memory (upright); nullptr on failure.
    static std::shared_ptr<const Image> fromData(const std::uint8_t* data, std::size_t size);

    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    Size size() const { return {static_cast<double>(m_width), static_cast<double>(m_height)}; }
    int bytesPerRow() const { return m_bytesPerRow; }
    Alpha alpha() const { return m_alpha; }
    const std::uint8_t* data() const { return m_bytes->data() + m_offset; }
    const SharedBytes& bytes() const { return m_bytes; }

    // The stored 32-bit word at (x, y); callers keep the point inside.
    std::uint32_t pixelAt(int x, int y) const;
    // The colour at (x, y), straight alpha, as floats 0-1.
    Color colorAt(int x, int y) const;

    // The picture drawn at width x height pixels (averaged where it shrinks), premultiplied; nullptr
    // for an unusable size or when memory runs out. Nothing is kept with this image, so one kept
    // only to be shown smaller never holds a premultiplied copy of its own size.
    std::shared_ptr<const Image> scaledCopy(int width, int height) const;

    // A premultiplied cairo surface showing the pixels (made once, shared). Safe to call from
    // several threads: images travel to worker threads (recovery copies, exports). Graphics layer only.
    const detail::CachedSurface& surface() const;

private:
    Image(int width, int height, int bytesPerRow, Alpha alpha, SharedBytes bytes, std::size_t offset);

    int m_width;
    int m_height;
    int m_bytesPerRow;
    Alpha m_alpha;
    SharedBytes m_bytes;
    std::size_t m_offset;
    void makeSurface() const;

    mutable std::once_flag m_surfaceMade;
    mutable std::vector<std::uint8_t> m_premultipliedCopy; // only for straight images with alpha < 255
    mutable std::unique_ptr<detail::CachedSurface> m_surface;
};

using ImageRef = std::shared_ptr<const Image>;

} // namespace gfx
