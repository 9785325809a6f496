#include "CanvasView.h"

#include "Canvas.h"
#include "Foundation/Log.h"
#include "Graphics/UprightPixels.h"
#include "Journal.h"
#include "MediumValues.h"
#include "RawImage.h"
#include "Toolkit/ImageAsset.h"

std::shared_ptr<CanvasView> CanvasView::init(std::shared_ptr<Canvas> canvas, std::shared_ptr<const RawImage> rawImage,
                                             const Photo& photo)
{
    if (!canvas) {
        fnd::log("CanvasView: there is no canvas to show");
        return nullptr;
    }
    auto view = std::make_shared<CanvasView>(Token{}, canvas->bounds());
    view->m_canvas = canvas;
    view->m_rawImage = rawImage;
    view->m_brushTool = std::make_unique<BrushTool>(std::move(canvas), std::move(rawImage));
    view->m_brushTool->setCanvasView(view.get());
    const bool fromPhoto = view->m_rawImage != nullptr;
    view->m_brushTool->setMode(fromPhoto ? BrushTool::kModePhoto : BrushTool::kModeFreehand);
    ApplyInitialMediumValue(*view->m_brushTool);
    view->setBackgroundColor(view->m_canvas->backgroundColor());
    view->setOpaque(true);
    if (fromPhoto) {
        view->showPhoto(view->m_canvas->bounds(), photo);
        // The timer must not keep the view alive, nor call it once it is gone.
        std::weak_ptr<ui::View> weak = view;
        view->m_outlineTimer = fnd::Timer::scheduledTimer(kOutlineDelay, false, [weak](fnd::Timer& timer) {
            if (auto self = weak.lock())
                static_cast<CanvasView*>(self.get())->outlineTimerEvent(timer);
        });
    }
    return view;
}

CanvasView::CanvasView(Token, const gfx::Rect& frame) : View(frame) {}

CanvasView::~CanvasView()
{
    if (m_outlineTimer)
        m_outlineTimer->invalidate();
}

// The photo as picked, upright; the image view draws a big one from a copy at the size it shows.
// A reopened painting has a raw image but no picked photo: its photo view stays empty and fades
// out like the others.
void CanvasView::showPhoto(const gfx::Rect& frame, const Photo& photo)
{
    m_origImageView = std::make_shared<ui::ImageView>(frame);
    m_origImageView->setOpaque(true);
    if (photo)
        m_origImageView->setImage(ui::ImageAsset::withImage(photo));
    addSubview(m_origImageView);
}

void CanvasView::drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty)
{
    m_canvas->drawComposite(context, dirty);
}

void CanvasView::touchesBegan(const ui::TouchSet& touches, const ui::Event& event)
{
    View::touchesBegan(touches, event);
    m_brushTool->touchesBegan(touches, event);
}

void CanvasView::touchesMoved(const ui::TouchSet& touches, const ui::Event& event)
{
    View::touchesMoved(touches, event);
    m_brushTool->touchesMoved(touches, event);
}

void CanvasView::touchesEnded(const ui::TouchSet& touches, const ui::Event& event)
{
    View::touchesEnded(touches, event);
    m_brushTool->touchesEnded(touches, event);
}

void CanvasView::touchesCancelled(const ui::TouchSet& touches, const ui::Event& event)
{
    View::touchesCancelled(touches, event);
    m_brushTool->touchesCancelled(touches, event);
}

void CanvasView::outlineTimerEvent(fnd::Timer&)
{
    m_outlineTimer.reset();
    renderAndShowOutlineAnimated(true);
}

void CanvasView::renderAndShowOutlineAnimated(bool animated)
{
    if (m_delegate)
        m_delegate->canvasViewWillCreateOutline(*this);
    m_outlineView = OutlineView::initWithFrame(m_canvas->bounds(), m_rawImage.get());
    if (m_outlineView) {
        m_outlineView->setOpaque(false);
        m_outlineView->setAlpha(0);
        addSubview(m_outlineView);
    }
    if (m_delegate)
        m_delegate->canvasViewDidCreateOutline(*this);
    if (animated) {
        View::beginAnimations();
        View::setAnimationDuration(kOutlineFadeSeconds);
        View::setAnimationCurve(ui::AnimationCurve::EaseIn);
    }
    if (m_origImageView)
        m_origImageView->setAlpha(0);
    if (m_outlineView)
        m_outlineView->setAlpha(1);
    if (animated)
        View::commitAnimations();
}

void CanvasView::sketchOutline(const gfx::Color& color)
{
    if (m_outlineView) {
        if (Journal* journal = m_canvas->journal())
            journal->recordSketch(color);
        m_outlineView->renderOutlineOnContext(m_canvas->curStrokeLayer().context(), color);
    }
    m_canvas->saveUndoState();
    setNeedsDisplay();
}
