#include "ImageIO/Decoder.h"

#include <cctype>
#include <new>
#include <vector>

#include "Foundation/FileOps.h"
#include "ImageIO/JpegDecoder.h"
#include "ImageIO/PngDecoder.h"

namespace imageio {
namespace {

// A decoder's failure as the caller of a file decode sees it: the path in the log line, and for
// the person the decoder's words with the file's name ("Not a PNG or JPEG file (…/notes.jpg)").
fnd::Error failureOfFile(const fnd::Error& error, const std::string& path)
{
    std::string words = error.reason.empty() ? error.message : error.reason;
    if (!words.empty())
        words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(words[0])));
    return {path + ": " + error.message,
            error.reason == fnd::kNotEnoughMemory ? error.reason : fnd::reasonForPerson(words, path)};
}

fnd::Result<DecodedImage> decodeBytes(const std::uint8_t* data, std::size_t size, int minShortSide)
{
    if (!data || size == 0)
        return fnd::Error{"empty picture data"};
    try {
        if (detail::looksLikePng(data, size))
            return detail::decodePng(data, size);
        if (detail::looksLikeJpeg(data, size))
            return detail::decodeJpeg(data, size, minShortSide);
    } catch (const std::bad_alloc&) {
        return fnd::outOfMemory("decoding the picture");
    }
    return fnd::Error{"not a PNG or JPEG file"};
}

} // namespace

fnd::Result<DecodedImage> decodeMemory(const std::uint8_t* data, std::size_t size)
{
    return decodeBytes(data, size, 0);
}

fnd::Result<DecodedImage> decodeFile(const std::string& path) { return decodeFileReduced(path, 0, kMaxPhotoFileBytes); }

fnd::Result<DecodedImage> decodeFileReduced(const std::string& path, int minShortSide, std::uint64_t maxFileBytes)
{
    auto bytes = fnd::readFile(path, maxFileBytes); // refuses folders, pipes and devices too
    if (!bytes)
        return bytes.failure();
    auto image = decodeBytes(bytes->data(), bytes->size(), minShortSide);
    if (!image)
        return failureOfFile(image.failure(), path);
    return image;
}

} // namespace imageio
