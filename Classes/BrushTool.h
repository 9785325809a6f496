#pragma once
// The brush: turns the finger's movement over the canvas into dabs in the canvas layers. A
// stroke is a chain of dabs laid along each move segment; a dab is the brush shape (an image mask)
// stretched over a size x size square, turned, and filled with one colour (the chosen colour or
// the photo's colour under the dab) or, for the eraser, cleared out of the painting bitmap.
// Splatter scatters several jittered dabs around each position; the airbrush keeps adding dabs
// while the finger rests. Stroke opacity is not applied per dab: the canvas applies it to the
// whole current-strokes layer.
//
// The brush paints into the canvas it was made with and samples the raw image it was made with;
// it reaches no document. The painting screen hands it the open painting's; a replay can make
// another brush over another canvas. A canvas view (not owned) is optional: a view whose
// coordinates are canvas pixels, whose touches drive strokes and which is asked to redraw what
// the dabs changed.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/Timer.h"
#include "Graphics/Color.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"
#include "Graphics/ImageMask.h"
#include "StrokeRandom.h"

class Canvas;
class RawImage;

namespace ui {
class View;
class TouchSet;
class Event;
} // namespace ui

class BrushTool {
public:
    // Colour modes, with the brush's documented numbers.
    enum class Mode {
        kModeFreehand = 0, // dabs are filled with color()
        kModePhoto = 1,    // dabs take the photo's colour under them
        kModeEraser = 2,   // dabs clear the painting bitmap
    };
    using enum Mode;

    static constexpr double kAirbrushInterval = 0.25; // seconds between resting-finger dabs
    static constexpr double kAirbrushNestedRun = 0.2; // seconds each tick runs the run loop
    static constexpr int kPreviewSide = 36;           // createPreviewImage() is 36 x 36
    // Points are rounded to this grid (1/64 pixel) where they enter the brush, so a journal that
    // stores them on the grid replays exactly what was painted.
    static constexpr double kInputGrid = 64.0;

    // Everything that decides what a stroke's dabs look like, as the journal records it.
    struct Settings {
        Mode mode = kModePhoto;
        std::optional<std::string> shapeName;
        gfx::Color color = gfx::Color::black();
        float opacity = 0.5f;
        int size = 40;
        float spacing = 0.5f;
        bool splatter = false;
        bool addNoise = true;
        bool fixedDirection = false;
        bool airbrush = false;
        float direction = 180.0f;
        bool operator==(const Settings&) const = default;
    };
    // How an airbrush stroke lays dabs while the finger rests: by the times given to moveStroke
    // and endStroke, or one per airbrushTick() (a touch's timer, or a replay of one).
    enum class AirbrushClock { kByTime = 0, kByTicks = 1 };

    // A brush painting into `canvas`, taking photo-mode colours from `rawImage` (none for a blank
    // canvas: photo-mode dabs are then black). Without a canvas every dab paints nothing.
    // Defaults: photo mode, no shape, opaque black, opacity 0.5, size 40, spacing 0.5, no
    // splatter, noise on, direction 180, free direction, no airbrush, no canvas view.
    explicit BrushTool(std::shared_ptr<Canvas> canvas, std::shared_ptr<const RawImage> rawImage = nullptr);
    ~BrushTool(); // stops the airbrush timer
    BrushTool(const BrushTool&) = delete;
    BrushTool& operator=(const BrushTool&) = delete;

    const std::shared_ptr<Canvas>& canvas() const { return m_canvas; }
    const std::shared_ptr<const RawImage>& rawImage() const { return m_rawImage; }
    ui::View* canvasView() const { return m_canvasView; }
    void setCanvasView(ui::View* view) { m_canvasView = view; }

    Mode mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = mode; }

    // The name of the last shape loaded successfully (none until one is).
    const std::optional<std::string>& shapeName() const { return m_shapeName; }
    // Loads Resources/<name>.png as the brush mask. On failure there is no mask afterwards and
    // shapeName() keeps the previous name; dabs then paint nothing.
    void setShapeName(const std::string& name);
    const gfx::ImageMaskRef& shapeMask() const { return m_shapeMask; }
    void setShapeMask(gfx::ImageMaskRef mask) { m_shapeMask = std::move(mask); }
    // A new 36 x 36 image of the mask as a white silhouette on transparent, the mask's first row
    // in the image's bottom row (as an unturned dab lies on the canvas). Transparent without a
    // mask; nullptr only if the bitmap cannot be made.
    gfx::ImageRef createPreviewImage() const;

    const gfx::Color& color() const { return m_color; }
    void setColor(const gfx::Color& color) { m_color = color; }
    float opacity() const { return m_opacity; }
    void setOpacity(float opacity) { m_opacity = opacity; }
    int size() const { return m_size; }
    void setSize(int size) { m_size = size; }
    float spacing() const { return m_spacing; }
    void setSpacing(float spacing) { m_spacing = spacing; }
    bool splatter() const { return m_splatter; }
    void setSplatter(bool splatter) { m_splatter = splatter; }
    // Carried with the other settings; no drawing step reads it.
    bool addNoise() const { return m_addNoise; }
    void setAddNoise(bool addNoise) { m_addNoise = addNoise; }
    // Degrees; the dab is turned by 270 - direction.
    float direction() const { return m_direction; }
    void setDirection(float direction) { m_direction = direction; }
    bool fixedDirection() const { return m_fixedDirection; }
    void setFixedDirection(bool fixed) { m_fixedDirection = fixed; }
    bool airbrush() const { return m_airbrush; }
    void setAirbrush(bool airbrush) { m_airbrush = airbrush; }

    Settings settings() const;
    // Sets every setting; the shape is loaded only when its name differs from shapeName().
    void applySettings(const Settings& settings);

    // Replays and tiles: lengths (dab side, step between dabs, splatter distance) are multiplied
    // by `scale` while counts (dabs per step, splatter dabs per position) stay as at scale 1; the
    // caller scales the positions it gives. Dabs are placed on whole pixels of the painting at
    // scale 1 and splatter jitters in them, then both are scaled, so the large painting's dabs lie
    // where the small one's do, times the scale.
    void setLengthScale(double scale) { m_lengthScale = scale; }
    double lengthScale() const { return m_lengthScale; }
    // The canvas is the tile at `origin` of a painting of `paintingSize` (positions are the
    // painting's): dabs land shifted by -origin and photo colours are mapped over the painting.
    void setTile(gfx::Point origin, gfx::Size paintingSize);

    // Strokes draw their random numbers from StrokeRandom(paintingSeed, stroke number). A brush
    // whose canvas keeps a journal takes both from the journal; otherwise the number counts the
    // strokes begun.
    void setPaintingSeed(std::uint64_t seed) { m_paintingSeed = seed; }
    void setNextStrokeNumber(std::uint64_t number) { m_nextStrokeNumber = number; }
    std::uint64_t nextStrokeNumber() const { return m_nextStrokeNumber; }
    StrokeRandom& strokeRandom() { return m_random; }

    // Running only while an airbrush touch is down.
    const fnd::TimerRef& airbrushTimer() const { return m_airbrushTimer; }
    // Centre of the last dab drawn (or the touch-down point of an airbrush touch).
    gfx::Point curPoint() const { return m_curPoint; }

    // Strokes, driven by touches (below), a replay or an automatic painter: beginStroke, any
    // number of moveStroke, endStroke. Positions are canvas pixels; each move's `from` is normally
    // the position before it (the begin's `at` or the last move's `to`). Times are seconds on one
    // clock for the whole stroke, never going back; only the airbrush reads them. Points are
    // rounded to 1/kInputGrid pixel and times to milliseconds on the way in. Nothing global is
    // read while painting but, for touches, the main run loop's timers. When the canvas keeps a
    // journal, every call is recorded in it (with the settings in force) as the brush sees it.
    //
    // beginStroke: touch-down. Tells the stroke-began handler, flattens the canvas in eraser mode
    // (the eraser acts on all paint and cannot be undone), sets the canvas's stroke opacity to
    // opacity() and, with the airbrush on, rests at `at`. Draws nothing.
    void beginStroke(gfx::Point at, double time, AirbrushClock clock = AirbrushClock::kByTime);
    // One move from `from` to `to` (drawBrushStrokeFrom). With the airbrush on, first the dabs
    // its timer would have laid by `time`: one at curPoint() for every kAirbrushInterval since
    // the stroke began.
    void moveStroke(gfx::Point from, gfx::Point to, double time);
    // Lift: the airbrush's last owed dabs (as in moveStroke), then it stops.
    void endStroke(double time);
    // Called by beginStroke before anything is painted (the painting screen marks its document
    // changed); none by default.
    void setStrokeBeganHandler(std::function<void()> handler) { m_strokeBegan = std::move(handler); }

    // Touches forwarded by the canvas view, as strokes at the touch's locations in it and the
    // event's times. Ignored while the view does not take touches. A stroke begun by a touch
    // keeps its airbrush on a timer instead (a resting finger sends no moves).
    void touchesBegan(const ui::TouchSet& touches, const ui::Event& event);
    void touchesMoved(const ui::TouchSet& touches, const ui::Event& event);
    void touchesEnded(const ui::TouchSet& touches, const ui::Event& event);
    void touchesCancelled(const ui::TouchSet& touches, const ui::Event& event);

    // Lays the dabs of one segment (none on `from`, the last on `to`) and asks the canvas view, if
    // any, to redraw the union of their squares.
    void drawBrushStrokeFrom(gfx::Point from, gfx::Point to);
    // One dab, or a splatter of jittered dabs, at p; returns the rectangle they cover.
    gfx::Rect drawOrSplatterBrushAt(gfx::Point p);
    // Exactly one dab centred on p; returns its unturned square (p - size/2, size x size).
    gfx::Rect drawBrushShapeAt(gfx::Point p);

    // One airbrush tick: airbrushTick(), then a nested 0.2 s run of the run loop.
    void airbrushTimerEvent(fnd::Timer& timer);
    // The resting airbrush's dab at curPoint() (recorded in the journal).
    void airbrushTick();
    // Invalidates and drops the airbrush timer.
    void stopTimer();

private:
    gfx::Color dabColor(gfx::Point p, const gfx::Rect& canvasBounds) const;
    void redraw(const gfx::Rect& rect) const;
    void layOwedAirbrushDabs(double time);
    gfx::Point tileOffset(gfx::Point p) const { return {p.x - m_tileOrigin.x, p.y - m_tileOrigin.y}; }
    double onCanvasPixel(float v) const;
    // A scaled position a hair below a whole canvas pixel (single-precision rounding) counts as on it.
    static constexpr double kScaledSnapSlack = 1.0 / 4096;

    std::shared_ptr<Canvas> m_canvas;
    std::shared_ptr<const RawImage> m_rawImage;
    ui::View* m_canvasView = nullptr;
    std::function<void()> m_strokeBegan;
    Mode m_mode = kModePhoto;
    std::optional<std::string> m_shapeName;
    gfx::ImageMaskRef m_shapeMask;
    gfx::Color m_color = gfx::Color::black();
    float m_opacity = 0.5f;
    int m_size = 40;
    float m_spacing = 0.5f;
    bool m_splatter = false;
    bool m_addNoise = true;
    float m_direction = 180.0f;
    bool m_fixedDirection = false;
    bool m_airbrush = false;
    fnd::TimerRef m_airbrushTimer;
    gfx::Point m_curPoint;
    double m_strokeStart = 0;      // the time given to beginStroke
    long m_airbrushDabsLaid = 0;   // airbrush dabs laid by time in this stroke
    bool m_airbrushByTime = false; // a stroke begun without a touch is open
    double m_lengthScale = 1.0;
    gfx::Point m_tileOrigin;
    std::optional<gfx::Size> m_paintingSize; // none: the canvas is the whole painting
    std::uint64_t m_paintingSeed = 0;
    std::uint64_t m_nextStrokeNumber = 0;
    StrokeRandom m_random;
};

// Distance between two points, the differences squared and summed in double precision.
float Distance(gfx::Point a, gfx::Point b);
// random % (2 * range) + value - range: a whole number in value - range .. value + range - 1,
// from the stroke's generator. A range below 1 gives value.
int AddJitter(int value, int range, StrokeRandom& random);
// p rounded to the brush's input grid (1/64 pixel).
gfx::Point RoundToInputGrid(gfx::Point p);
