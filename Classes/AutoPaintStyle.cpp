#include "AutoPaintStyle.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "MediumValues.h"

namespace {

// Sizes the brush size slider offers.
constexpr int kMinBrushSize = 3;
constexpr int kMaxBrushSize = 200;
// The styles are set for the photo canvas, whose longer side is 1024.
constexpr double kStyleLongSide = 1024.0;

struct StyleRow {
    const char* medium;
    AutoPaintStyle style;
};

// clang-format off
const StyleRow kStyles[] = {
    // medium          sizes                    thresh grid  step  min max curve blur
    {"Oil Paint",    {{96, 48, 24, 12, 6},      30.0f, 0.5f, 0.5f, 3, 12, 0.8f, 0.25f}},
    {"Watercolor",   {{120, 60, 30, 14},        30.0f, 0.5f, 0.5f, 3, 12, 0.6f, 0.3f}},
    {"Pencil",       {{40, 20, 10},             30.0f, 0.5f, 0.5f, 3, 12, 0.0f, 0.25f}},
    {"Airbrush",     {{80, 40, 20, 10},         28.0f, 0.5f, 0.4f, 2, 10, 0.7f, 0.25f}},
    {"ScratchBoard", {{75},                     24.0f, 0.6f, 0.6f, 1, 3,  0.5f, 0.25f}},
    {"Charcoal",     {{128, 64, 32, 14, 7},     30.0f, 0.5f, 0.5f, 2, 8,  0.5f, 0.25f}},
    {"Chalk",        {{128, 64, 32, 14, 7},     30.0f, 0.5f, 0.5f, 2, 8,  0.5f, 0.25f}},
    {"Pastel",       {{80, 40, 20, 10, 5},      28.0f, 0.5f, 0.5f, 3, 10, 0.7f, 0.25f}},
    {"Finger",       {{96, 48, 24, 12, 6},      30.0f, 0.5f, 0.5f, 3, 12, 0.9f, 0.25f}},
    {"PenAndInk",    {{50},                     24.0f, 0.6f, 0.6f, 1, 3,  0.5f, 0.25f}},
    {"Calligraphy",  {{64, 32, 16, 8},          30.0f, 0.5f, 0.5f, 3, 10, 0.6f, 0.25f}},
};
// clang-format on

} // namespace

AutoPaintStyle AutoPaintStyleFor(const MediumValue& medium, int longSide)
{
    const StyleRow* row = &kStyles[0];
    for (const StyleRow& candidate : kStyles)
        if (std::strcmp(candidate.medium, medium.name) == 0)
            row = &candidate;
    AutoPaintStyle style = row->style;
    if (medium.size > 0) {
        style.sizes = {medium.size};
        return style;
    }
    const double scale = longSide > 0 ? longSide / kStyleLongSide : 1.0;
    std::vector<int> sizes;
    for (int size : style.sizes) {
        const int scaled = std::clamp(static_cast<int>(std::lround(size * scale)), kMinBrushSize, kMaxBrushSize);
        if (sizes.empty() || scaled < sizes.back())
            sizes.push_back(scaled);
    }
    style.sizes = sizes;
    return style;
}
