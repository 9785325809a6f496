// Importing a decoded photo: validating its description, bringing its pixels to the 32-bit
// layout in rows of width x 4 bytes, forcing alpha where needed, and turning it upright.
#include "FixComponentOrderFilter.h"
#include "Foundation/Log.h"
#include "Foundation/Result.h"
#include "ImageIO/Decoder.h"
#include "RawImage.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

using PixelBuffer = RawImage::PixelBuffer;
using NewPixels = std::shared_ptr<std::vector<std::uint8_t>>; // filled here, then shared read-only

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// Bytes per pixel of the formats we take: 4 for the 32-bit byte orders, 2 for 16-bit
// little-endian; nothing for any other combination of pixel size and byte order.
std::optional<int> supportedBytesPerPixel(const imageio::DecodedImage& photo)
{
    const std::uint32_t order = photo.byteOrder & imageio::kByteOrderMask;
    const bool order32 = order == imageio::kByteOrderDefault || order == imageio::kByteOrder32Little
                         || order == imageio::kByteOrder32Big;
    if (photo.bitsPerPixel == 32 && order32)
        return 4;
    if (photo.bitsPerPixel == 16 && order == imageio::kByteOrder16Little)
        return 2;
    return std::nullopt;
}

// Checks the photo's description against its bytes, so that nothing later reads outside them.
fnd::Result<int> checkPhoto(const imageio::DecodedImage& photo)
{
    if (!photo.bytes)
        return fnd::Error{"the photo has no decoded bytes"};
    const std::string size = std::to_string(photo.width) + " x " + std::to_string(photo.height);
    if (photo.width <= 0 || photo.height <= 0 || photo.width > imageio::kMaxDecodeSide
        || photo.height > imageio::kMaxDecodeSide
        || static_cast<std::int64_t>(photo.width) * photo.height > imageio::kMaxDecodePixels)
        return fnd::Error{"unusable photo size " + size};
    if (photo.orientation < imageio::kOrientationUp || photo.orientation > imageio::kOrientationRightMirrored)
        return fnd::Error{"unknown orientation code " + std::to_string(photo.orientation)};
    const std::optional<int> bytesPerPixel = supportedBytesPerPixel(photo);
    if (!bytesPerPixel)
        return fnd::Error{"unsupported pixel format: " + std::to_string(photo.bitsPerPixel)
                          + " bits per pixel, byte order " + hex(photo.byteOrder & imageio::kByteOrderMask)};
    if (photo.bytesPerRow < static_cast<std::int64_t>(photo.width) * *bytesPerPixel)
        return fnd::Error{"rows of " + std::to_string(photo.bytesPerRow) + " bytes are too short for " + size};
    if (photo.bytes->size() < static_cast<std::uint64_t>(photo.height) * static_cast<std::uint64_t>(photo.bytesPerRow))
        return fnd::Error{"the decoded bytes are shorter than " + std::to_string(photo.height) + " rows of "
                          + std::to_string(photo.bytesPerRow) + " bytes"};
    return *bytesPerPixel;
}

std::size_t packedSize(const imageio::DecodedImage& photo)
{
    return static_cast<std::size_t>(photo.width) * 4 * static_cast<std::size_t>(photo.height);
}

// A new block holding the 32-bit photo's rows without their padding.
NewPixels packedCopy(const imageio::DecodedImage& photo)
{
    auto packed = std::make_shared<std::vector<std::uint8_t>>(packedSize(photo));
    const std::size_t rowLength = static_cast<std::size_t>(photo.width) * 4;
    const std::uint8_t* source = photo.bytes->data();
    for (int row = 0; row < photo.height; ++row) {
        std::memcpy(packed->data() + static_cast<std::size_t>(row) * rowLength,
                    source + static_cast<std::size_t>(row) * static_cast<std::size_t>(photo.bytesPerRow), rowLength);
    }
    return packed;
}

// A new 32-bit block widened from the 16-bit photo, rows of width x 4 bytes.
PixelBuffer widened16(const imageio::DecodedImage& photo)
{
    auto widened = std::make_shared<std::vector<std::uint8_t>>(packedSize(photo));
    std::uint8_t* const target = widened->data();
    const std::size_t targetRowBytes = static_cast<std::size_t>(photo.width) * 4;
    CFixComponentOrderFilter walker(photo.bytes->data(), photo.width, photo.height, 2, photo.bytesPerRow);
    walker.Walk([&](std::uint8_t*, int row, int column) {
        walker.GetCurPixel16().Store(target + static_cast<std::size_t>(row) * targetRowBytes
                                     + static_cast<std::size_t>(column) * 4);
    });
    return widened;
}

void forceOpaque(std::vector<std::uint8_t>& pixels, int width, int height)
{
    CPixelWalker walker(pixels.data(), width, height, 4, width * 4);
    walker.Walk([](std::uint8_t* pixel, int, int) { pixel[3] = 255; });
}

// The upright 32-bit photo's pixels: its own bytes when they are packed and opaque (no copy);
// otherwise a packed copy, forced opaque when the first pixel's alpha is not 255. The photo's own
// bytes are never changed: the photo view still shows them.
PixelBuffer upright32(const imageio::DecodedImage& photo)
{
    const bool packed = photo.bytesPerRow == photo.width * 4;
    const bool opaque = (*photo.bytes)[3] == 255;
    if (packed && opaque)
        return photo.bytes;
    NewPixels pixels = packedCopy(photo);
    if (!opaque)
        forceOpaque(*pixels, photo.width, photo.height);
    return pixels;
}

} // namespace

std::unique_ptr<RawImage> RawImage::initWithUIImage(const imageio::DecodedImage& photo)
{
    return importPhoto(photo, false);
}

std::unique_ptr<RawImage> RawImage::initUprightAtFullSize(const imageio::DecodedImage& photo)
{
    return importPhoto(photo, true);
}

std::unique_ptr<RawImage> RawImage::importPhoto(const imageio::DecodedImage& photo, bool fullSize)
{
    const fnd::Result<int> bytesPerPixel = checkPhoto(photo);
    if (!bytesPerPixel) {
        fnd::log("RawImage: cannot import the photo: " + bytesPerPixel.error());
        return nullptr;
    }
    const bool is16 = bytesPerPixel.value() == 2;
    if (photo.orientation == imageio::kOrientationUp) {
        PixelBuffer pixels = is16 ? widened16(photo) : upright32(photo);
        return std::make_unique<RawImage>(Token{}, photo.width, photo.height, std::move(pixels));
    }

    // The rotation reads packed 32-bit pixels; alpha is copied as delivered.
    const bool packed32 = !is16 && photo.bytesPerRow == photo.width * 4;
    const PixelBuffer source = is16 ? widened16(photo) : packed32 ? photo.bytes : packedCopy(photo);
    auto image = std::make_unique<RawImage>(Token{}, photo.width, photo.height, nullptr);
    image->m_orientation = photo.orientation;
    image->m_pixels = fullSize ? image->rotatedImageData(*source, 1.0f) : image->createRotatedImageData(*source);
    if (image->m_width <= 0 || image->m_height <= 0) {
        fnd::log("RawImage: cannot import the photo: " + std::to_string(photo.width) + " x "
                 + std::to_string(photo.height) + " is too narrow to turn upright");
        return nullptr;
    }
    return image;
}
