#include "PaintView.h"

#include "Foundation/Date.h"
#include "Foundation/Log.h"

std::shared_ptr<PaintView> PaintView::initWithFrame(const gfx::Rect& frame, std::shared_ptr<Canvas> canvas,
                                                    std::shared_ptr<const RawImage> rawImage,
                                                    const CanvasView::Photo& photo)
{
    auto canvasView = CanvasView::init(std::move(canvas), std::move(rawImage), photo);
    if (!canvasView) {
        fnd::log("PaintView: there is no canvas to show");
        return nullptr;
    }
    auto view = std::make_shared<PaintView>(Token{}, frame);
    view->setDelegate(view.get());
    view->setDelaysContentTouches(false);
    view->setOpaque(true);
    view->m_canvasView = std::move(canvasView);
    view->addSubview(view->m_canvasView);
    view->fitCanvas(*view->m_canvasView->canvas());
    view->m_lastBrushToolMode = view->m_canvasView->brushTool().mode();
    view->setScrollEnabled(false); // paint mode
    return view;
}

PaintView::PaintView(Token, const gfx::Rect& frame) : ScrollView(frame) {}

PaintView::~PaintView()
{
    if (m_saveUndoTimer)
        m_saveUndoTimer->invalidate();
}

// The whole canvas at the smaller of the two fitting scales, its top-left corner at the origin.
// The scroll view's own zoom starts there too, so the first pinch continues from what is shown.
void PaintView::fitCanvas(const Canvas& canvas)
{
    const gfx::Rect f = frame();
    const float zx = static_cast<float>(f.width()) / static_cast<float>(canvas.width());
    const float zy = static_cast<float>(f.height()) / static_cast<float>(canvas.height());
    const float z = zx < zy ? zx : zy;
    setMaximumZoomScale(kMaxZoomScale);
    setMinimumZoomScale(z);
    setContentSize({static_cast<double>(canvas.width()), static_cast<double>(canvas.height())});
    setZoomScale(z);
    setContentOffset({0, 0});
}

ui::View* PaintView::viewForZoomingInScrollView(ui::ScrollView&) { return m_canvasView.get(); }

void PaintView::setMode(Mode mode)
{
    BrushTool& brush = m_canvasView->brushTool();
    if (m_mode == kModePaint)
        m_lastBrushToolMode = brush.mode();
    m_mode = mode;
    if (mode == kModeMove) {
        setScrollEnabled(true);
        m_canvasView->setUserInteractionEnabled(false);
        return;
    }
    setScrollEnabled(false);
    m_canvasView->setUserInteractionEnabled(true);
    if (mode == kModePaint)
        brush.setMode(m_lastBrushToolMode);
    else if (mode == kModeErase)
        brush.setMode(BrushTool::kModeEraser);
}

void PaintView::touchesBegan(const ui::TouchSet& touches, const ui::Event& event)
{
    ScrollView::touchesBegan(touches, event);
    if (!paintsInMode() || m_isPainting)
        return;
    m_isPainting = true;
    m_endReported = false;
    if (m_paintViewDelegate)
        m_paintViewDelegate->paintViewDidStartPainting(*this, true);
}

void PaintView::touchesEnded(const ui::TouchSet& touches, const ui::Event& event)
{
    ScrollView::touchesEnded(touches, event);
    endStroke();
}

void PaintView::touchesCancelled(const ui::TouchSet& touches, const ui::Event& event)
{
    ScrollView::touchesCancelled(touches, event);
    endStroke();
}

void PaintView::endStroke()
{
    if (!paintsInMode() || !m_isPainting)
        return;
    m_isPainting = false;
    // An earlier timer still pending fires as well; none may call a view that has gone.
    std::weak_ptr<ui::View> weak = weak_from_this();
    m_saveUndoTimer = fnd::Timer::scheduledTimer(kSnapshotDelay, false, [weak](fnd::Timer& timer) {
        if (auto self = weak.lock())
            static_cast<PaintView*>(self.get())->saveUndoTimerEvent(timer);
    });
}

void PaintView::saveUndoTimerEvent(fnd::Timer&)
{
    if (m_isPainting)
        return; // the coming touch-up schedules its own timer
    const double now = fnd::secondsSinceReferenceDate();
    if (now - m_prevFireDate < kSnapshotGap) {
        // The last snapshot already holds this work; the stroke has still ended.
        if (!m_endReported)
            reportEnd();
        return;
    }
    m_prevFireDate = now;
    m_canvasView->canvas()->saveUndoState();
    reportEnd();
}

void PaintView::reportEnd()
{
    m_endReported = true;
    if (m_paintViewDelegate)
        m_paintViewDelegate->paintViewDidEndPainting(*this, true);
}

void PaintView::noteSnapshotTaken() { m_prevFireDate = fnd::secondsSinceReferenceDate(); }
