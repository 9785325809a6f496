#pragma once
// Photo decoding: JPEG (libjpeg-turbo) and PNG (libpng), from files or memory, into 32-bit
// pixels (see DecodedImage.h), with the EXIF orientation of JPEGs (libexif).
//
// Every input is outside input. Failures carry a reason for the person (fnd::Error::reason) that
// names the file; an allocation failure is a failure like any other ("Not enough memory"). Files are recognised by
// their signature, not their name. Grayscale, palette, 16-bit-per-channel, interlaced and progressive inputs decode to
// 32-bit pixels; CMYK JPEGs are converted; anything else is refused with an error. Pictures wider or taller than
// kMaxDecodeSide, or with more than kMaxDecodePixels pixels, are refused from their header, before any pixel memory is
// allocated.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/Result.h"
#include "ImageIO/DecodedImage.h"

namespace imageio {

inline constexpr int kMaxDecodeSide = 16384;
inline constexpr std::int64_t kMaxDecodePixels = 64LL * 1024 * 1024; // 256 MiB of 32-bit pixels
// The largest photo file anyone may open, however it is given (picker, drop, command line, tools):
// far above any compressed photo of kMaxDecodePixels, and refused before anything is read.
inline constexpr std::uint64_t kMaxPhotoFileBytes = 256ULL * 1024 * 1024;

// A photo file of at most kMaxPhotoFileBytes.
fnd::Result<DecodedImage> decodeFile(const std::string& path);
fnd::Result<DecodedImage> decodeMemory(const std::uint8_t* data, std::size_t size);
// The same, sharing `file` as the picture's sourceFile instead of copying it.
fnd::Result<DecodedImage> decodeMemory(std::shared_ptr<const std::vector<std::uint8_t>> file);

// A reduced decode for previews and thumbnails: JPEGs come at 1/2, 1/4 or 1/8 of their size as
// long as the shorter side stays at least minShortSide (PNGs come whole; 0 decodes whole, as
// decodeFile, with the sourceFile of a picture to be turned upright). Files larger than
// maxFileBytes, and anything that is not a regular file, are refused without reading.
fnd::Result<DecodedImage> decodeFileReduced(const std::string& path, int minShortSide, std::uint64_t maxFileBytes);

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The size a PNG's header declares (refused like decodeMemory refuses it), without decoding:
// lets a caller check a picture against what it expects before allocating for it.
fnd::Result<PictureSize> readPngSize(const std::uint8_t* data, std::size_t size);

// Rows of 32-bit pixels a caller owns: `height` rows of `width` words, `bytesPerRow` bytes apart.
struct PixelRows {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t bytesPerRow = 0;
};

// Decodes a PNG straight into `rows` as premultiplied words ((c x a + 127) / 255 per colour
// byte): the words decodeMemory gives, premultiplied, without a picture-sized buffer between.
// A picture whose size differs from the rows' is refused from its header, before anything is
// written; after a failure further in, the rows hold whatever had been decoded. Orientation
// tags are ignored.
fnd::Status decodePngInto(const std::uint8_t* data, std::size_t size, const PixelRows& rows);

} // namespace imageio
