#pragma once
// A colour as red, green, blue and alpha from 0 to 1, not premultiplied.
#include <cstdint>

namespace gfx {

struct Color {
    float red = 0;
    float green = 0;
    float blue = 0;
    float alpha = 1;

    static constexpr Color white() { return {1, 1, 1, 1}; }
    static constexpr Color black() { return {0, 0, 0, 1}; }
    static constexpr Color clear() { return {0, 0, 0, 0}; }
    // From 0-255 table values, alpha 1.
    static constexpr Color fromBytes(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f, 1.0f}; }

    constexpr Color withAlpha(float a) const { return {red, green, blue, a}; }
    constexpr bool operator==(const Color&) const = default;
};

} // namespace gfx
