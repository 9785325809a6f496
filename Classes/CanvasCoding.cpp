// The canvas's part of the painting archive: its size, paper colour, texture name and the
// painting as a PNG of the composite without paper and texture. The stroke layers are merged
// into that image, so a reopened canvas has nothing to undo.
#include "Canvas.h"

#include <cstring>

#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Log.h"
#include "Graphics/PixelFormat.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"

namespace {

// Canvases are at most 1024 on a side; this leaves room without letting a file ask for gigabytes.
constexpr int kMaxArchivedSide = 8192;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

} // namespace

void Canvas::encodeWithCoder(fnd::KeyedArchiver& coder) const
{
    coder.encodeInt32("width", m_width);
    coder.encodeInt32("height", m_height);
    coder.encodeColor("backgroundColor", {m_backgroundColor.red, m_backgroundColor.green, m_backgroundColor.blue, m_backgroundColor.alpha});
    coder.encodeString("textureName", m_textureName);
    std::vector<std::uint8_t> png;
    if (auto image = createThumbnail(std::max(m_width, m_height), false)) {
        auto encoded = imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(), true});
        if (encoded)
            png = std::move(encoded).value();
    }
    coder.encodeData("paintingData", std::move(png));
}

std::unique_ptr<Canvas> Canvas::initWithCoder(fnd::KeyedUnarchiver& coder)
{
    int width = coder.decodeInt32("width");
    int height = coder.decodeInt32("height");
    auto color = coder.decodeColor("backgroundColor");
    auto texture = coder.decodeString("textureName");
    auto data = coder.decodeData("paintingData");
    if (coder.failed())
        return nullptr;
    if (width <= 0 || height <= 0 || width > kMaxArchivedSide || height > kMaxArchivedSide) {
        coder.failWithReason("Canvas: impossible size " + std::to_string(width) + " x " + std::to_string(height));
        return nullptr;
    }
    if (!data || data->size() < sizeof kPngSignature || std::memcmp(data->data(), kPngSignature, sizeof kPngSignature) != 0) {
        coder.failWithReason("Canvas.paintingData: not a PNG image");
        return nullptr;
    }
    auto decoded = imageio::decodeMemory(data->data(), data->size());
    if (!decoded) {
        coder.failWithReason("Canvas.paintingData: " + decoded.error());
        return nullptr;
    }
    const imageio::DecodedImage& painting = decoded.value();
    if (painting.width != width || painting.height != height || painting.bitsPerPixel != 32) {
        coder.failWithReason("Canvas.paintingData: a " + std::to_string(painting.width) + " x " + std::to_string(painting.height) +
                             " picture for a " + std::to_string(width) + " x " + std::to_string(height) + " canvas");
        return nullptr;
    }
    auto canvas = initWithSize(width, height);
    if (!canvas) {
        coder.failWithReason("Canvas: out of memory");
        return nullptr;
    }
    if (color)
        canvas->m_backgroundColor = {color->r, color->g, color->b, color->a};
    canvas->restorePainting(painting);
    canvas->setTextureName(texture);
    return canvas;
}

namespace {

// (c x a + 127) / 255 for each colour byte: the same as gfx::premultiply (whose alpha-255 case
// gives the same bytes), without its branch, so the compiler can run it over many pixels at once.
inline std::uint32_t premultiplyBranchless(std::uint32_t word)
{
    const std::uint32_t a = word >> 24;
    const std::uint32_t r = (((word >> 16) & 0xFF) * a + 127) / 255;
    const std::uint32_t g = (((word >> 8) & 0xFF) * a + 127) / 255;
    const std::uint32_t b = ((word & 0xFF) * a + 127) / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

} // namespace

void Canvas::restorePainting(const imageio::DecodedImage& painting)
{
    // The stored picture's first row is the canvas's top row; its alpha is straight. The sizes
    // are copied to locals: the rows are written through pointers the compiler cannot tell
    // apart from the canvas's own fields, and it would reload them for every pixel.
    gfx::BitmapContext::PixelAccess access(*m_paintingContext);
    const int width = m_width;
    const int height = m_height;
    const std::size_t sourceRowBytes = static_cast<std::size_t>(painting.bytesPerRow);
    const std::uint8_t* source = painting.bytes->data();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = source + static_cast<std::size_t>(y) * sourceRowBytes;
        std::uint32_t* dst = access.row(y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t word;
            std::memcpy(&word, src + static_cast<std::size_t>(x) * 4, 4);
            dst[x] = premultiplyBranchless(word);
        }
    }
    invalidateCompositeCache();
}
