#pragma once
// PNG output with fixed settings (no time stamps, fixed compression), so equal pixels give
// equal files for a given libpng and zlib.
#include <cstdint>
#include <string>
#include <vector>

namespace genres {

enum class PngKind { Grey, Rgb, Rgba };

// Writes `pixels` (tightly packed rows, 1, 3 or 4 bytes per pixel by `kind`, RGBA not
// premultiplied). Returns false and prints the reason on failure.
bool writePng(const std::string& path, PngKind kind, int width, int height, const std::vector<std::uint8_t>& pixels);

} // namespace genres
