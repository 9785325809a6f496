#include "ImageIO/Decoder.h"

#include <vector>

#include "Foundation/FileOps.h"
#include "ImageIO/JpegDecoder.h"
#include "ImageIO/PngDecoder.h"

namespace imageio {
namespace {

// Far above any photo we can decode (compressed data is smaller than its pixels).
constexpr std::uint64_t kMaxFileBytes = 1024ULL * 1024 * 1024;

} // namespace

fnd::Result<DecodedImage> decodeMemory(const std::uint8_t* data, std::size_t size)
{
    if (!data || size == 0)
        return fnd::Error{"empty picture data"};
    if (detail::looksLikePng(data, size))
        return detail::decodePng(data, size);
    if (detail::looksLikeJpeg(data, size))
        return detail::decodeJpeg(data, size);
    return fnd::Error{"not a PNG or JPEG file"};
}

fnd::Result<DecodedImage> decodeFile(const std::string& path)
{
    auto bytes = fnd::readFile(path, kMaxFileBytes); // refuses folders and devices too
    if (!bytes)
        return fnd::Error{bytes.error()};
    auto image = decodeMemory(bytes->data(), bytes->size());
    if (!image)
        return fnd::Error{path + ": " + image.error()};
    return image;
}

} // namespace imageio

namespace imageio {

fnd::Result<DecodedImage> decodeFileReduced(const std::string& path, int minShortSide, std::uint64_t maxFileBytes)
{
    auto bytes = fnd::readFile(path, maxFileBytes);
    if (!bytes)
        return fnd::Error{bytes.error()};
    const std::uint8_t* data = bytes->data();
    const std::size_t size = bytes->size();
    auto image =
        detail::looksLikeJpeg(data, size) ? detail::decodeJpeg(data, size, minShortSide) : decodeMemory(data, size);
    if (!image)
        return fnd::Error{path + ": " + image.error()};
    return image;
}

} // namespace imageio
