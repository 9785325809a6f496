#pragma once
// Row conversions between the 32-bit pixel layout (bytes blue, green, red, alpha) and what the
// file formats store.
#include <cstdint>

namespace imageio::detail {

// Premultiplied BGRA -> straight BGRA. `source` and `destination` may be the same row.
void unpremultiplyRow(const std::uint8_t* source, std::uint8_t* destination, int width);

// CMYK as libjpeg delivers it -> opaque BGRA, in place. `inverted` is the Adobe convention
// (0 = full ink), which files with an Adobe marker use.
void convertCmykRowToBgra(std::uint8_t* row, int width, bool inverted);

} // namespace imageio::detail
