#pragma once
// The automatic painting's strokes and how they are laid. A stroke is a sequence of points with
// times, laid through a brush tool exactly as a finger's would be; the planner lays them on its
// own canvas and the painting screen lays the same strokes, in the same order, through its own
// brush on the canvas on screen, so both end with the same pixels.
//
// The strokes of one brush size form a group. Before the first group the canvas is flattened
// and its previous-strokes group stands at full opacity; each group is painted in the
// current-strokes group and merged into the previous one before the next, so translucent media
// build up in layers and one undo takes the whole automatic painting back.
#include <cstdint>
#include <vector>

#include "Graphics/Geometry.h"

class BrushTool;
class Canvas;
struct MediumValue;

struct AutoStrokePoint {
    gfx::Point at; // canvas pixels
    double time;   // seconds from the stroke's start
};

struct AutoStroke {
    std::vector<AutoStrokePoint> points; // at least one
    std::uint64_t number = 0;            // the stroke's place in the whole run, from 0
};

struct AutoStrokeGroup {
    int index = 0;     // 0 for the largest brush size
    int brushSize = 0; // dab side in canvas pixels
    std::vector<AutoStroke> strokes;
};

// Where an automatic painting stands or was stopped: `strokes` strokes of group `group` laid
// after every earlier group.
struct AutoPaintPoint {
    int group = 0;
    int strokes = 0;
    bool operator==(const AutoPaintPoint&) const = default;
};

// Readies `canvas` for automatic strokes: its paint flattened, the previous group at opacity 1.
void BeginAutoPainting(Canvas& canvas);
// Sets the brush for a group: `medium`'s settings at `size`, photo colour, no airbrush ticks
// (automatic strokes keep moving), and the run's seed for the strokes' random numbers.
void PrepareAutoBrush(BrushTool& brush, const MediumValue& medium, int size, std::uint32_t runSeed);
// The painting seed a run's strokes draw their random numbers with (StrokeRandom(this, number)),
// apart from the hand strokes' (which use the journal's seed).
std::uint64_t AutoStrokesPaintingSeed(std::uint32_t runSeed);
// Lays one stroke through the brush: begin, a move to each further point (a lone point gets one
// dab), end; splatter draws from the stroke generator of the brush's painting seed and the
// stroke's number, so the planner's brush and the screen's scatter alike. The brush's canvas
// should keep no journal meanwhile (a run is recorded as one event). A replay at another size
// gives its `scale`: the points are multiplied by it, as a person's are.
void LayAutoStroke(BrushTool& brush, const AutoStroke& stroke, double scale = 1.0);
// Closes a group: its strokes merged under the ones to come.
void EndAutoStrokeGroup(Canvas& canvas);
