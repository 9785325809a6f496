#include "AutoStrokes.h"

#include "BrushTool.h"
#include "Canvas.h"
#include "MediumValues.h"

void BeginAutoPainting(Canvas& canvas)
{
    canvas.flatten();
    canvas.setPrevStrokeOpacity(1);
}

std::uint64_t AutoStrokesPaintingSeed(std::uint32_t runSeed) { return 0x6175746f00000000ull ^ runSeed; }

void PrepareAutoBrush(BrushTool& brush, const MediumValue& medium, int size, std::uint32_t runSeed)
{
    brush.setPaintingSeed(AutoStrokesPaintingSeed(runSeed));
    ApplyMediumValue(brush, medium);
    if (medium.size <= 0)
        brush.setSize(size);
    brush.setAirbrush(false);
    brush.setMode(BrushTool::kModePhoto);
}

void LayAutoStroke(BrushTool& brush, const AutoStroke& stroke, double scale)
{
    if (stroke.points.empty())
        return;
    auto at = [&](std::size_t i) {
        const gfx::Point p = stroke.points[i].at;
        return gfx::Point{p.x * scale, p.y * scale};
    };
    brush.setNextStrokeNumber(stroke.number);
    brush.beginStroke(at(0), stroke.points.front().time);
    if (stroke.points.size() == 1)
        brush.moveStroke(at(0), at(0), stroke.points.front().time);
    for (std::size_t i = 1; i < stroke.points.size(); ++i)
        brush.moveStroke(at(i - 1), at(i), stroke.points[i].time);
    brush.endStroke(stroke.points.back().time);
}

void EndAutoStrokeGroup(Canvas& canvas) { canvas.mergeCurrentStrokes(); }
