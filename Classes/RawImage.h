#pragma once
// The photo a painting is made from, as one block of 32-bit pixels (see PixelWalker.h for the
// layout) in rows of exactly width x 4 bytes, row 0 at the top. Made once, read afterwards: the
// block is shared read-only, so a copy handed to another thread (the recovery writer) reads
// pixels that nobody can change under it.
//
// The colour space is always device RGB, so no field holds it.
#include "Foundation/KeyedArchive.h"
#include "Foundation/Result.h"
#include "Graphics/Image.h"
#include "Graphics/ImageMask.h"
#include "ImageIO/DecodedImage.h"
#include "PixelWalker.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fnd {
class KeyedUnarchiver;
}

class RawImage : public fnd::Codable {
    // Keeps the constructor for the factories below (explicit, so `{}` cannot stand in for it).
    struct Token {
        explicit Token() = default;
    };

public:
    using PixelBuffer = std::shared_ptr<const std::vector<std::uint8_t>>;

    // A block of width x height pixels with undefined contents; nullptr (and a log line) for a
    // non-positive size or one beyond what a decoder would deliver.
    static std::unique_ptr<RawImage> initWithWidth(int width, int height);

    // Imports a decoded photo and turns it upright; nullptr (and a log line) when the photo's pixel
    // format is not supported or its description does not match its bytes. An upright, packed
    // 32-bit photo shares its bytes with the raw image; when its alpha must be forced to 255 the
    // raw image gets a copy, and the photo's bytes stay as they are.
    static std::unique_ptr<RawImage> initWithUIImage(const imageio::DecodedImage& photo);

    // The same, but a photo that must be turned is turned at its full size, every pixel kept.
    static std::unique_ptr<RawImage> initUprightAtFullSize(const imageio::DecodedImage& photo);

    RawImage(Token, int width, int height, PixelBuffer pixels);

    // The raw image kept in a file of its own under `name` (a plain file name), or why it cannot
    // be read.
    using PixelsFileReader = std::function<fnd::Result<std::unique_ptr<RawImage>>(const std::string& name)>;

    // Archive coding: the pixel block and its description. A decoded raw image whose fields
    // disagree with its bytes is refused (nullptr, the reason in coder.error()).
    //
    // With a pixels file set, the archive names that file under "pixelsFile" instead of holding
    // the block ("pixels"): a recovery copy keeps its photo apart, written once per painting. Such
    // an archive decodes only through `readPixelsFile`, and only when the file holds a raw image
    // of the same description; without a reader it is refused, as older versions refuse it.
    const char* className() const override { return "RawImage"; }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override;
    static std::unique_ptr<RawImage> initWithCoder(fnd::KeyedUnarchiver& coder,
                                                   const PixelsFileReader& readPixelsFile = {});
    const std::string& pixelsFile() const { return m_pixelsFile; }
    void setPixelsFile(std::string name) { m_pixelsFile = std::move(name); }

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bpp() const { return m_bpp; }
    int bpc() const { return m_bpc; }
    int rb() const { return m_rb; }
    int orientation() const { return m_orientation; }
    const PixelBuffer& pixels() const { return m_pixels; }

    // Plain setters; whoever sets them keeps rb x height <= pixels' size.
    void setWidth(int width) { m_width = width; }
    void setHeight(int height) { m_height = height; }
    void setOrientation(int orientation) { m_orientation = orientation; }
    void setPixels(PixelBuffer pixels) { m_pixels = std::move(pixels); }

    // The pixel at (x, y). No bounds check: callers keep 0 <= x < width and 0 <= y < height.
    CColor pixelAtX(int x, int y) const { return CColor::Load(m_pixels->data() + byteOffset(x, y)); }

    // {red, green, blue, 1.0} of the pixel at (x, y), each byte / 255 in single precision; alpha is
    // 1.0 whatever the pixel holds. No bounds check, as pixelAtX.
    std::array<float, 4> pixelComponentsAtX(int x, int y) const;

    // An image showing the block (straight alpha) that shares the pixel buffer, so it stays valid
    // after the raw image goes. nullptr if the drawing layer refuses it.
    gfx::ImageRef createCompatibleImage() const;

    // An n x n image of the centred square of side min(width, height), nearest sample.
    gfx::ImageRef createCompatibleThumbnailAtSize(int n) const;

    // The photo's edge sketch as an image mask (RawImageOutline.cpp); nullptr when the block is unusable.
    gfx::ImageMaskRef createCompatibleImageOutline() const;

    // Reads `decoded` as 32-bit pixels with the current width, height and rb, and returns the
    // block turned upright for the current orientation and resampled so that its longer side is
    // 1024 (1023 for some sizes, since the products are truncated). Sets width, height, rb and
    // orientation (0) to match. The caller guarantees decoded holds rb x height bytes.
    PixelBuffer createRotatedImageData(const std::vector<std::uint8_t>& decoded);

private:
    static std::unique_ptr<RawImage> importPhoto(const imageio::DecodedImage& photo, bool fullSize);
    // createRotatedImageData's turn, each side multiplied by `scale`.
    PixelBuffer rotatedImageData(const std::vector<std::uint8_t>& decoded, float scale);

    std::size_t byteOffset(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_rb) + static_cast<std::size_t>(x) * 4;
    }

    int m_width;
    int m_height;
    int m_bpp = 32;
    int m_bpc = 8;
    int m_rb;
    int m_orientation = imageio::kOrientationUp;
    PixelBuffer m_pixels;
    std::string m_pixelsFile; // archived in place of the pixels when set
};
