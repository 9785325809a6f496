#pragma once
// The medium presets: named sets of brush settings (shape, size, opacity, direction, splatter,
// spacing, airbrush, noise) applied to the brush in one step. A medium never touches the brush's
// colour or colour mode. Each row's picture in the bundle is shapeName + "_medium.png".
#include <cstdint>

class BrushTool;

struct MediumValue {
    const char* name;      // never displayed
    const char* shapeName; // brush shape, and the stem of the medium's picture name
    std::int32_t size;     // -1 keeps the brush's current size
    float opacity;
    std::uint8_t fixedDirection;
    float direction;
    std::uint8_t splatter;
    float spacing;
    std::uint8_t airbrush;
    std::uint8_t addNoise;
    const void* reserved1; // empty in every row
    const void* reserved2; // empty in every row
};

inline constexpr int NUM_MEDIUM_VALUES = 11;
extern const MediumValue g_arMediumValues[NUM_MEDIUM_VALUES];

// The size the canvas view's new brush starts with (row 0 keeps the size).
inline constexpr int kInitialBrushSize = 100;

// Sets the brush's shape name, size (unless -1), opacity, fixed direction, direction, splatter,
// spacing, airbrush and noise from the row, in that order.
void ApplyMediumValue(BrushTool& brush, const MediumValue& medium);
// A new brush's settings: row 0 ("Oil Paint") in the same order, with size kInitialBrushSize.
// The caller sets the colour mode first.
void ApplyInitialMediumValue(BrushTool& brush);
