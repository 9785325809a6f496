#include "ImageIO/Decoder.h"

#include <cctype>
#include <memory>
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

using SharedFile = std::shared_ptr<const std::vector<std::uint8_t>>;

// A whole decode of `file`: a picture to be turned upright keeps the file (makeFile gives it
// only then, so an upright picture costs no copy).
template <typename MakeFile>
fnd::Result<DecodedImage> decodeWhole(const std::uint8_t* data, std::size_t size, MakeFile&& makeFile)
{
    auto image = decodeBytes(data, size, 0);
    if (!image || image->orientation == kOrientationUp)
        return image;
    try {
        image->sourceFile = makeFile();
    } catch (const std::bad_alloc&) {
        return fnd::outOfMemory("keeping the picture's file");
    }
    return image;
}

} // namespace

fnd::Result<DecodedImage> decodeMemory(const std::uint8_t* data, std::size_t size)
{
    return decodeWhole(data, size,
                       [&] { return std::make_shared<const std::vector<std::uint8_t>>(data, data + size); });
}

fnd::Result<DecodedImage> decodeMemory(SharedFile file)
{
    if (!file)
        return fnd::Error{"empty picture data"};
    return decodeWhole(file->data(), file->size(), [&] { return file; });
}

fnd::Result<DecodedImage> decodeFile(const std::string& path) { return decodeFileReduced(path, 0, kMaxPhotoFileBytes); }

fnd::Result<DecodedImage> decodeFileReduced(const std::string& path, int minShortSide, std::uint64_t maxFileBytes)
{
    auto bytes = fnd::readFile(path, maxFileBytes); // refuses folders, pipes and devices too
    if (!bytes)
        return bytes.failure();
    auto image = minShortSide > 0
                     ? decodeBytes(bytes->data(), bytes->size(), minShortSide)
                     : decodeMemory(std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes).value()));
    if (!image)
        return failureOfFile(image.failure(), path);
    return image;
}

} // namespace imageio
