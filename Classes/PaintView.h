#pragma once
// The scrolling, zooming view of the painting screen. It holds the canvas view, fits the whole
// canvas into itself at start and switches between painting, erasing and moving (the finger
// scrolls and pinches instead of painting). It also decides when the canvas takes its undo
// snapshot: two seconds after the finger lifts, unless a finger is down then or a snapshot was
// taken less than two seconds before, so strokes separated by shorter pauses undo together.
#include <memory>

#include "Canvas.h"
#include "CanvasView.h"
#include "Foundation/Timer.h"
#include "Toolkit/ScrollView.h"

class PaintView;

class PaintViewDelegate {
public:
    virtual ~PaintViewDelegate() = default;
    // A finger went down in paint or erase mode while none was down (`painting` is always true).
    virtual void paintViewDidStartPainting(PaintView& paintView, bool painting) = 0;
    // The undo snapshot has just been taken (`ended` is always true).
    virtual void paintViewDidEndPainting(PaintView& paintView, bool ended) = 0;
};

class PaintView : public ui::ScrollView, public ui::ScrollViewDelegate {
    struct Token {
        explicit Token() = default;
    };

public:
    // What a finger does, with the view's documented numbers (the mode control's segments).
    enum class Mode {
        kModePaint = 0, // paints with the brush in its colour mode
        kModeErase = 1, // paints with the brush as the eraser
        kModeMove = 2,  // scrolls and zooms
    };
    using enum Mode;
    static constexpr double kMaxZoomScale = 2.0;
    static constexpr double kSnapshotDelay = 2.0; // seconds after a touch-up
    static constexpr double kSnapshotGap = 2.0;   // at least this long between snapshots

    // The view of `canvas` (with its canvas view, CanvasView::init), fitted into `frame`; nullptr
    // without a canvas.
    static std::shared_ptr<PaintView> initWithFrame(const gfx::Rect& frame, std::shared_ptr<Canvas> canvas,
                                                    std::shared_ptr<const RawImage> rawImage,
                                                    const CanvasView::Photo& photo);
    PaintView(Token, const gfx::Rect& frame);
    ~PaintView() override;

    Mode mode() const { return m_mode; }
    void setMode(Mode mode);
    BrushTool::Mode lastBrushToolMode() const { return m_lastBrushToolMode; }
    bool isPainting() const { return m_isPainting; }
    const std::shared_ptr<CanvasView>& canvasView() const { return m_canvasView; }
    const fnd::TimerRef& saveUndoTimer() const { return m_saveUndoTimer; }
    // Seconds since the reference date of the last snapshot.
    double prevFireDate() const { return m_prevFireDate; }
    PaintViewDelegate* paintViewDelegate() const { return m_paintViewDelegate; }
    void setPaintViewDelegate(PaintViewDelegate* delegate) { m_paintViewDelegate = delegate; }

    ui::View* viewForZoomingInScrollView(ui::ScrollView& scrollView) override;

    void touchesBegan(const ui::TouchSet& touches, const ui::Event& event) override;
    void touchesEnded(const ui::TouchSet& touches, const ui::Event& event) override;
    // A cancelled touch (the window lost the pointer) ends the stroke as a lifted finger does.
    void touchesCancelled(const ui::TouchSet& touches, const ui::Event& event) override;
    // A snapshot was taken outside the timer (a sketch of the blueprint): it counts as the latest
    // one, so a stroke's pending timer does not take another that would merge the two.
    void noteSnapshotTaken();

    // The snapshot decision, two seconds after a touch-up.
    void saveUndoTimerEvent(fnd::Timer& timer);

private:
    bool paintsInMode() const { return m_mode == kModePaint || m_mode == kModeErase; }
    void fitCanvas(const Canvas& canvas);
    void endStroke();
    void reportEnd();

    Mode m_mode = kModePaint;
    BrushTool::Mode m_lastBrushToolMode = BrushTool::kModeFreehand;
    std::shared_ptr<CanvasView> m_canvasView;
    bool m_isPainting = false;
    bool m_endReported = true; // the delegate has heard the end of the last stroke
    fnd::TimerRef m_saveUndoTimer;
    double m_prevFireDate = 0; // the reference date: the first snapshot is never held back
    PaintViewDelegate* m_paintViewDelegate = nullptr;
};
