#pragma once
// Reads the orientation tag of an EXIF block and maps it onto an orientation code.
#include <cstddef>
#include <cstdint>

namespace imageio::detail {

// `block` starts with "Exif\0\0" (the payload of a JPEG APP1 segment). Returns kOrientationUp when
// the block is malformed or has no orientation tag.
int orientationFromExifBlock(const std::uint8_t* block, std::size_t size);

// The same for a bare TIFF-structured block (a PNG eXIf chunk), which lacks the "Exif\0\0" header.
int orientationFromTiffBlock(const std::uint8_t* block, std::size_t size);

} // namespace imageio::detail
