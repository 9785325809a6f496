#include "AutoPaintPlan.h"

#include <algorithm>

#include "BrushTool.h"
#include "Canvas.h"
#include "Journal.h"
#include "MediumValues.h"

double AutoPaintPlan::work() const
{
    double work = 0;
    for (const AutoStrokeGroup& group : groups)
        work += static_cast<double>(group.brushSize) * static_cast<double>(group.strokes.size());
    return work;
}

namespace {

// The run's groups, planned on a copy of `canvas` by `painter` (kept for its canvas); with `keep`
// false only the planner's canvas is wanted and the strokes are dropped as they come.
std::optional<AutoPaintPlan> planOn(Canvas& canvas, std::shared_ptr<const RawImage> photo,
                                    const AutoPaintSettings& settings, std::optional<AutoPaintPoint> stop,
                                    std::unique_ptr<AutoPainter>& painter, bool keep)
{
    BeginAutoPainting(canvas);
    painter = AutoPainter::create(std::move(photo), CopyCanvasForAutoPainting(canvas), settings);
    if (!painter)
        return std::nullopt;
    AutoPaintPlan plan{settings, {}};
    while (!stop || painter->nextGroup() <= stop->group) {
        auto group = painter->planNextGroup();
        if (!group)
            break;
        if (stop && group->index == stop->group)
            group->strokes.resize(
                std::min<std::size_t>(group->strokes.size(), static_cast<std::size_t>(std::max(0, stop->strokes))));
        if (keep)
            plan.groups.push_back(std::move(*group));
    }
    return plan;
}

bool paintOnCanvas(Canvas& canvas, std::shared_ptr<const RawImage> photo, const AutoPaintSettings& settings,
                   std::optional<AutoPaintPoint> stop, AutoPaintPlan* planned)
{
    std::unique_ptr<AutoPainter> painter;
    auto plan = planOn(canvas, photo, settings, stop, painter, stop || planned);
    if (!plan)
        return false;
    if (!stop) {
        // The painter's copy ends as the canvas would: take its strokes rather than lay them twice.
        canvas.prevStrokeLayer().context().drawLayer(canvas.bounds(), painter->canvas().prevStrokeLayer());
        canvas.paintingDidChange(canvas.bounds());
    } else {
        BrushTool brush(std::shared_ptr<Canvas>(&canvas, [](Canvas*) {}), photo);
        LayAutoPaintPlan(brush, *plan);
    }
    if (planned)
        *planned = std::move(*plan);
    return true;
}

} // namespace

std::optional<AutoPaintPlan> PlanAutoPainting(Canvas& canvas, std::shared_ptr<const RawImage> photo,
                                              const AutoPaintSettings& settings, std::optional<AutoPaintPoint> stop)
{
    std::unique_ptr<AutoPainter> painter;
    return planOn(canvas, std::move(photo), settings, stop, painter, true);
}

bool LayAutoPaintPlan(BrushTool& brush, const AutoPaintPlan& plan, double scale,
                      const std::function<bool(double workLaid)>& afterStroke)
{
    Canvas* canvas = brush.canvas().get();
    if (!canvas || plan.settings.medium < 0 || plan.settings.medium >= NUM_MEDIUM_VALUES)
        return true;
    const MediumValue& medium = g_arMediumValues[plan.settings.medium];
    brush.setShapeName(medium.shapeName);
    double work = 0;
    for (const AutoStrokeGroup& group : plan.groups) {
        PrepareAutoBrush(brush, medium, group.brushSize, plan.settings.seed);
        for (const AutoStroke& stroke : group.strokes) {
            LayAutoStroke(brush, stroke, scale);
            work += group.brushSize;
            if (afterStroke && !afterStroke(work)) {
                EndAutoStrokeGroup(*canvas);
                return false;
            }
        }
        EndAutoStrokeGroup(*canvas);
    }
    return true;
}

bool PaintAutomatically(Canvas& canvas, std::shared_ptr<const RawImage> photo, const AutoPaintSettings& settings,
                        std::optional<AutoPaintPoint> stop, AutoPaintPlan* planned)
{
    // The journal keeps the run, not its strokes.
    const std::shared_ptr<Journal> journal = canvas.journalRef();
    canvas.setJournal(nullptr);
    const bool painted = paintOnCanvas(canvas, std::move(photo), settings, stop, planned);
    canvas.setJournal(journal);
    if (painted && journal)
        journal->recordExtension(kAutoPaintJournalKind, EncodeAutoPaintEvent(settings, stop));
    return painted;
}
