#pragma once
// How the automatic painter paints in each medium: the brush sizes it works down through and the
// shape of its strokes. A pencil hatches with fine straight strokes, watercolour lays broad soft
// washes, oil paint lays thick strokes that follow the shapes, charcoal and chalk block in
// broadly; media of a fixed size paint at that size only.
#include <vector>

struct MediumValue;

struct AutoPaintStyle {
    std::vector<int> sizes; // brush sizes (dab sides in canvas pixels), largest first
    float threshold;        // mean colour error (RGB distance, 0..441) of a grid cell that wants paint
    float gridFactor;       // grid spacing over the brush size
    float stepFactor;       // distance between a stroke's points over the brush size
    int minLength;          // points a stroke runs before the photo may stop it
    int maxLength;          // points at most
    float curvature;        // 1 turns with every edge, 0 keeps the first direction (hatching)
    float blurFactor;       // reference blur (standard deviation) over the brush size
};

// The style for `medium` on a canvas whose longer side is `longSide` pixels: sizes scale with the
// canvas and stay within what the brush allows; a fixed-size medium keeps its own size.
AutoPaintStyle AutoPaintStyleFor(const MediumValue& medium, int longSide);
