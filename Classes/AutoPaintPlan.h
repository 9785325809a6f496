#pragma once
// An automatic painting as a list of strokes, for laying it again elsewhere: a replay at another
// size or in tiles plans the run at the painting's own size, exactly as the screen's run was
// planned (same photo, canvas, medium and seed, so the same strokes), and lays those strokes
// through its own brush, which scales their lengths and clips them to its tile, as it does a
// person's strokes.
#include <functional>
#include <optional>
#include <vector>

#include "AutoPainter.h"
#include "AutoStrokes.h"

struct AutoPaintPlan {
    AutoPaintSettings settings;
    std::vector<AutoStrokeGroup> groups; // as they were laid: the last one cut where the run stopped
    // The sum of the laid strokes' brush sizes: the measure the screen paces a run by.
    double work() const;
};

// The strokes the run with `settings`, stopped at `stop` (none: run to the end), lays on
// `canvas`; readies `canvas` with BeginAutoPainting and plans on a copy of it. Nothing when the
// photo is unusable or memory runs out.
std::optional<AutoPaintPlan> PlanAutoPainting(Canvas& canvas, std::shared_ptr<const RawImage> photo,
                                              const AutoPaintSettings& settings,
                                              std::optional<AutoPaintPoint> stop = std::nullopt);

// Lays `plan` through `brush` (its canvas readied with BeginAutoPainting), each group merged
// before the next, with the positions multiplied by `scale` (the brush's own length scale and
// tile do the rest). `afterStroke` (optional) is called after each stroke with the work laid so
// far; returning false stops at once (the group so far merged). False when stopped.
bool LayAutoPaintPlan(BrushTool& brush, const AutoPaintPlan& plan, double scale = 1.0,
                      const std::function<bool(double workLaid)>& afterStroke = {});
