// The raw image's part of the painting archive: "pixels" (height x rb bytes), then "width",
// "height", "bpp", "bpc", "rb" and "orientation". A recovery copy names its photo's file under
// "pixelsFile" in place of "pixels".
#include "RawImage.h"

#include <optional>
#include <string>

#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "ImageIO/Decoder.h"

void RawImage::encodeWithCoder(fnd::KeyedArchiver& coder) const
{
    std::size_t bytes = static_cast<std::size_t>(m_rb) * static_cast<std::size_t>(m_height);
    if (!m_pixelsFile.empty())
        coder.encodeString("pixelsFile", m_pixelsFile);
    else // the block goes straight from our buffer into the file
        coder.encodeDataNoCopy("pixels",
                               std::span<const std::uint8_t>(m_pixels->data(), std::min(bytes, m_pixels->size())));
    coder.encodeInt32("width", m_width);
    coder.encodeInt32("height", m_height);
    coder.encodeInt32("bpp", m_bpp);
    coder.encodeInt32("bpc", m_bpc);
    coder.encodeInt32("rb", m_rb);
    coder.encodeInt32("orientation", m_orientation);
}

namespace {

// The raw image a "pixelsFile" names, when it matches the description beside the name.
std::unique_ptr<RawImage> readPixelsFileOf(fnd::KeyedUnarchiver& coder, const std::string& name, int width, int height,
                                           const RawImage::PixelsFileReader& readPixelsFile)
{
    if (!readPixelsFile) {
        coder.failWithReason("RawImage.pixelsFile: the pixels are kept apart in " + name);
        return nullptr;
    }
    auto kept = readPixelsFile(name);
    if (!kept) {
        coder.failWithReason("RawImage.pixelsFile: " + kept.error());
        return nullptr;
    }
    std::unique_ptr<RawImage> image = std::move(kept).value();
    if (!image || image->width() != width || image->height() != height) {
        coder.failWithReason("RawImage.pixelsFile: " + name + " holds another picture");
        return nullptr;
    }
    return image;
}

} // namespace

std::unique_ptr<RawImage> RawImage::initWithCoder(fnd::KeyedUnarchiver& coder, const PixelsFileReader& readPixelsFile)
{
    auto pixels = coder.decodeData("pixels");
    const std::optional<std::string> pixelsFile = pixels ? std::nullopt : coder.decodeString("pixelsFile");
    int width = coder.decodeInt32("width");
    int height = coder.decodeInt32("height");
    int bpp = coder.decodeInt32("bpp");
    int bpc = coder.decodeInt32("bpc");
    int rb = coder.decodeInt32("rb");
    int orientation = coder.decodeInt32("orientation");
    if (coder.failed())
        return nullptr;
    std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0 || width > imageio::kMaxDecodeSide || height > imageio::kMaxDecodeSide) {
        coder.failWithReason("RawImage: impossible size " + size);
        return nullptr;
    }
    if (bpp != 32 || bpc != 8 || rb != width * 4 || orientation < 0 || orientation > 7) {
        coder.failWithReason("RawImage: unsupported layout (bpp " + std::to_string(bpp) + ", bpc " + std::to_string(bpc)
                             + ", rb " + std::to_string(rb) + ", orientation " + std::to_string(orientation) + ")");
        return nullptr;
    }
    if (pixelsFile) {
        auto image = readPixelsFileOf(coder, *pixelsFile, width, height, readPixelsFile);
        if (image)
            image->m_orientation = orientation;
        return image;
    }
    std::size_t expected = static_cast<std::size_t>(rb) * static_cast<std::size_t>(height);
    if (!pixels || pixels->size() != expected) {
        coder.failWithReason("RawImage.pixels: " + std::to_string(pixels ? pixels->size() : 0) + " bytes for " + size
                             + " pixels");
        return nullptr;
    }
    // The one copy out of the archive's buffer.
    auto buffer = std::make_shared<std::vector<std::uint8_t>>(pixels->begin(), pixels->end());
    auto image = std::make_unique<RawImage>(Token{}, width, height, std::move(buffer));
    image->m_orientation = orientation;
    return image;
}
