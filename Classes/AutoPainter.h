#pragma once
// The automatic painter's planner: paints a photo on its own copy of a canvas from coarse to
// fine, one brush size at a time. At each size it blurs the photo and what the canvas shows to
// that size, compares them on a grid, and where a grid cell differs more than the medium's threshold
// starts a stroke at the cell's most different point. The stroke runs across the gradient of the
// blurred photo (along its edges), bending smoothly, until the photo under it is closer to what
// is painted than to the stroke's colour, or it reaches its length. A size's strokes are laid in
// a shuffled order through the painter's own brush (photo colour, the medium and the canvas's
// paper), then merged before the next size.
//
// Nothing global is read or written: the same photo, medium, canvas and seed give the same
// strokes and pixels on any thread. One thread uses a painter at a time.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "AutoPaintImages.h"
#include "AutoPaintStyle.h"
#include "AutoStrokes.h"

class BrushTool;
class Canvas;
class RawImage;
struct AutoPaintPlan;

struct AutoPaintSettings {
    int medium = 0;         // row of the medium table
    std::uint32_t seed = 1; // orders and shapes the strokes
    bool operator==(const AutoPaintSettings&) const = default;
};

class AutoPainter {
public:
    // A painter over its own `canvas` (see CopyCanvasForAutoPainting), which it readies with
    // BeginAutoPainting. nullptr without a usable photo or canvas, or when out of memory.
    static std::unique_ptr<AutoPainter> create(std::shared_ptr<const RawImage> photo, std::unique_ptr<Canvas> canvas,
                                               const AutoPaintSettings& settings);
    ~AutoPainter();
    AutoPainter(const AutoPainter&) = delete;
    AutoPainter& operator=(const AutoPainter&) = delete;

    const AutoPaintSettings& settings() const { return m_settings; }
    const AutoPaintStyle& style() const { return m_style; }
    int groupCount() const { return static_cast<int>(m_style.sizes.size()); }
    int nextGroup() const { return m_nextGroup; }
    const Canvas& canvas() const { return *m_canvas; }

    // Plans the next brush size's strokes, lays them on the painter's canvas and returns them;
    // nullopt once every size is done, or when `stop` turns true on the way (the canvas then
    // holds part of the group).
    std::optional<AutoStrokeGroup> planNextGroup(const std::atomic<bool>* stop = nullptr);

private:
    AutoPainter(std::shared_ptr<const RawImage> photo, std::unique_ptr<Canvas> canvas,
                const AutoPaintSettings& settings);
    std::vector<AutoStroke> planStrokes(int size);
    bool layStrokes(const std::vector<AutoStroke>& strokes, int size, const std::atomic<bool>* stop);

    std::shared_ptr<const RawImage> m_photo;
    std::shared_ptr<Canvas> m_canvas; // shared with its brush
    std::unique_ptr<BrushTool> m_brush;
    AutoPaintSettings m_settings;
    AutoPaintStyle m_style;
    RgbImage m_photoAtCanvasSize;
    std::uint64_t m_random; // the painter's own generator's state
    std::uint64_t m_strokesPlanned = 0;
    int m_nextGroup = 0;
};

// A canvas to give a painter: the same size, paper colour, texture and pixels as `canvas` once
// BeginAutoPainting has flattened it (call that first). Main thread (it reads the bundle's
// texture). nullptr when out of memory.
std::unique_ptr<Canvas> CopyCanvasForAutoPainting(const Canvas& canvas);

// The whole automatic painting, or the part of it before `stop`, on `canvas` itself: what the
// painting screen leaves after a run with these settings stopped at `stop` (a whole painting when
// none). For replaying a recorded run and for painting without animation. The canvas's journal,
// if any, records the run as one event. `planned`, when given, receives the strokes laid (see
// AutoPaintPlan.h). False when the photo is unusable or memory runs out.
bool PaintAutomatically(Canvas& canvas, std::shared_ptr<const RawImage> photo, const AutoPaintSettings& settings,
                        std::optional<AutoPaintPoint> stop = std::nullopt, AutoPaintPlan* planned = nullptr);

// How a journal keeps an automatic painting: one extension event of this kind holding the run's
// settings and where it stopped (none: it ran to the end), recorded by PaintAutomatically and by
// the painting screen's run instead of the strokes; a replay paints it again with
// PaintAutomatically.
constexpr std::uint8_t kAutoPaintJournalKind = 1;
std::vector<std::uint8_t> EncodeAutoPaintEvent(const AutoPaintSettings& settings, std::optional<AutoPaintPoint> stop);
// False when the payload is not one EncodeAutoPaintEvent wrote.
bool DecodeAutoPaintEvent(std::span<const std::uint8_t> payload, AutoPaintSettings& settings,
                          std::optional<AutoPaintPoint>& stop);
