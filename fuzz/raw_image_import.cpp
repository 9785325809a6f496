// Feeds arbitrary photo descriptions to the raw image import: the first bytes pick width, height,
// bits per pixel, bytes per row, byte order and orientation within modest bounds (and sometimes
// outside them), the rest is the pixel buffer, which may be too short. An imported image is then
// drawn small.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Foundation/Log.h"
#include "RawImage.h"

namespace {

constexpr std::size_t kHeaderBytes = 8;
constexpr int kBitsPerPixel[] = {8, 16, 24, 32, 48, 64, 0, -32};
constexpr std::uint32_t kByteOrders[] = {imageio::kByteOrderDefault,  imageio::kByteOrder16Little,
                                         imageio::kByteOrder32Little, imageio::kByteOrder16Big,
                                         imageio::kByteOrder32Big,    0x5000};

// Mostly a row that fits the pixels, sometimes a padded, short or negative one.
int bytesPerRow(int width, int bitsPerPixel, std::uint8_t pick)
{
    const int packed = width * (bitsPerPixel > 0 ? bitsPerPixel : 32) / 8;
    switch (pick % 8) {
    case 0: return packed + pick / 8;
    case 1: return packed - 1;
    case 2: return -packed;
    default: return packed;
    }
}

imageio::DecodedImage describe(const uint8_t* data, size_t size)
{
    imageio::DecodedImage photo;
    // 0..95 on a side (0 included, so empty photos are tried).
    photo.width = data[0] % 96;
    photo.height = data[1] % 96;
    photo.bitsPerPixel = kBitsPerPixel[data[2] % std::size(kBitsPerPixel)];
    photo.bytesPerRow = bytesPerRow(photo.width, photo.bitsPerPixel, data[3]);
    photo.byteOrder = kByteOrders[data[4] % std::size(kByteOrders)];
    photo.orientation = static_cast<int>(data[5] % 10) - 1; // -1 and 8 lie outside the codes
    if (!(data[7] & 1))                                     // otherwise a description without pixels
        photo.bytes = std::make_shared<std::vector<std::uint8_t>>(data + kHeaderBytes, data + size);
    return photo;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fnd::setLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kHeaderBytes)
        return 0;
    const imageio::DecodedImage photo = describe(data, size);
    // A second holder of the bytes makes the import copy them instead of forcing alpha in place.
    auto extraHolder = (data[6] & 1) ? photo.bytes : nullptr;
    auto image = RawImage::initWithUIImage(photo);
    if (image) {
        auto thumbnail = image->createCompatibleThumbnailAtSize(29);
        auto full = image->createCompatibleImage();
        volatile std::uint32_t sink = image->pixelAtX(image->width() - 1, image->height() - 1).value;
        (void)sink;
    }
    return 0;
}
