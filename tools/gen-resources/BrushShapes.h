#pragma once
// The greyscale brush shape pictures: dark paints, white does not, every border pixel white.
// The first row faces the direction of travel.
#include <cstdint>
#include <string>
#include <vector>

namespace genres {

inline constexpr int kBrushShapeSize = 128;

struct BrushShape {
    int size = 0;                   // side in pixels
    std::vector<std::uint8_t> grey; // size x size, 0 = full paint, 255 = none
};

const std::vector<std::string>& brushShapeNames();

// The named shape, or an empty shape for an unknown name.
BrushShape makeBrushShape(const std::string& name);

// Writes every shape as OUTDIR/<name>.png (8-bit greyscale).
bool writeBrushShapes(const std::string& outDir);

} // namespace genres
