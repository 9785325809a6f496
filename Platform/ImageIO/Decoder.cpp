#include "ImageIO/Decoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "ImageIO/JpegDecoder.h"
#include "ImageIO/PngDecoder.h"

namespace imageio {
namespace {

// Far above any photo we can decode (compressed data is smaller than its pixels).
constexpr long long kMaxFileBytes = 1024LL * 1024 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

fnd::Result<std::vector<std::uint8_t>> readWholeFile(const std::string& path)
{
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return fnd::Error{"cannot open " + path + ": " + std::strerror(errno)};
    if (fseeko(file.get(), 0, SEEK_END) != 0)
        return fnd::Error{"cannot read " + path + ": " + std::strerror(errno)};
    const long long size = ftello(file.get());
    if (size < 0 || fseeko(file.get(), 0, SEEK_SET) != 0)
        return fnd::Error{"cannot read " + path + ": " + std::strerror(errno)};
    if (size > kMaxFileBytes)
        return fnd::Error{path + ": file too large (" + std::to_string(size) + " bytes)"};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return fnd::Error{"cannot read " + path};
    return bytes;
}

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
    auto bytes = readWholeFile(path);
    if (!bytes)
        return fnd::Error{bytes.error()};
    auto image = decodeMemory(bytes->data(), bytes->size());
    if (!image)
        return fnd::Error{path + ": " + image.error()};
    return image;
}

} // namespace imageio
