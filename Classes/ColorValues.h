#pragma once
// The 48 named colours offered for the brush (freehand paint) and for the paper's background,
// in the order they are listed on screen.
#include <cstdint>

#include "Graphics/Color.h"

struct ColorValue {
    const char* name; // shown on screen
    std::int32_t red; // 0 to 255
    std::int32_t green;
    std::int32_t blue;
};

inline constexpr int NUM_COLOR_VALUES = 48;
extern const ColorValue g_arColorValues[NUM_COLOR_VALUES];

// The row's colour: each component / 255, alpha 1.
gfx::Color ColorOfValue(const ColorValue& value);
