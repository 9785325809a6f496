#pragma once
// One medium's sample stroke, painted by the brush engine over a small canvas and composited
// onto its paper.
#include "Graphics/Image.h"
#include "MediumValues.h"

namespace mediumpictures {

struct StrokeLook {
    const char* shape; // the medium's shape name (its row in the medium table)
    const char* label; // the name shown beside the stroke
    int size;          // brush size in points, for the rows that keep the user's size
    gfx::Color ink;
    gfx::Color paper;
};

// The composite of the stroke on a width x height canvas (pixels), or nullptr.
gfx::ImageRef paintSampleStroke(const MediumValue& medium, const StrokeLook& look, int width, int height, double scale);

} // namespace mediumpictures
