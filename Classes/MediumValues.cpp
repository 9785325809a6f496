#include "MediumValues.h"

#include "BrushTool.h"

// clang-format off
const MediumValue g_arMediumValues[NUM_MEDIUM_VALUES] = {
    // name            shapeName       size  opacity fixed direction splatter spacing airbrush noise
    {"Oil Paint",    "Oil",          -1, 1.0f, 0,  0.0f, 0, 0.5f,  0, 1, nullptr, nullptr},
    {"Watercolor",   "Watercolor",   -1, 0.5f, 0, 45.0f, 0, 0.2f,  0, 1, nullptr, nullptr},
    {"Pencil",       "Pencil",       -1, 1.0f, 0,  0.0f, 0, 0.05f, 0, 0, nullptr, nullptr},
    {"Airbrush",     "Airbrush",     -1, 1.0f, 1,  0.0f, 0, 0.2f,  1, 0, nullptr, nullptr},
    {"ScratchBoard", "ScratchBoard", 75, 1.0f, 0,  0.0f, 1, 1.0f,  0, 0, nullptr, nullptr},
    {"Charcoal",     "Charcoal",     -1, 0.9f, 0,  0.0f, 0, 0.2f,  0, 0, nullptr, nullptr},
    {"Chalk",        "Chalk",        -1, 0.9f, 0,  0.0f, 0, 0.75f, 0, 0, nullptr, nullptr},
    {"Pastel",       "Pastel",       -1, 0.7f, 1,  0.0f, 0, 0.5f,  0, 0, nullptr, nullptr},
    {"Finger",       "Finger",       -1, 1.0f, 0,  0.0f, 0, 0.5f,  0, 1, nullptr, nullptr},
    {"PenAndInk",    "PenAndInk",    50, 1.0f, 1,  0.0f, 1, 1.5f,  0, 1, nullptr, nullptr},
    {"Calligraphy",  "Calligraphy",  -1, 1.0f, 1,  0.0f, 0, 0.05f, 0, 0, nullptr, nullptr},
};
// clang-format on

namespace {

void applyWithSize(BrushTool& brush, const MediumValue& medium, int size)
{
    brush.setShapeName(medium.shapeName);
    if (size != -1)
        brush.setSize(size);
    brush.setOpacity(medium.opacity);
    brush.setFixedDirection(medium.fixedDirection != 0);
    brush.setDirection(medium.direction);
    brush.setSplatter(medium.splatter != 0);
    brush.setSpacing(medium.spacing);
    brush.setAirbrush(medium.airbrush != 0);
    brush.setAddNoise(medium.addNoise != 0);
}

} // namespace

void ApplyMediumValue(BrushTool& brush, const MediumValue& medium) { applyWithSize(brush, medium, medium.size); }

void ApplyInitialMediumValue(BrushTool& brush) { applyWithSize(brush, g_arMediumValues[0], kInitialBrushSize); }
