#include "OutlineView.h"

#include <algorithm>

#include "Foundation/Log.h"
#include "RawImage.h"
#include "Toolkit/Window.h"

namespace {
const gfx::Color kOutlineBlue = {0, 0, 1, 1};
} // namespace

std::shared_ptr<OutlineView> OutlineView::initWithFrame(const gfx::Rect& frame, const RawImage* rawImage)
{
    auto view = std::make_shared<OutlineView>(Token{}, frame);
    view->setBackgroundColor(gfx::Color{1, 1, 1, 0});
    if (rawImage)
        view->m_outlineMask = rawImage->createCompatibleImageOutline();
    if (!view->m_outlineMask) {
        fnd::log("OutlineView: no outline without a raw image");
        return nullptr;
    }
    return view;
}

OutlineView::OutlineView(Token, const gfx::Rect& frame) : View(frame) {}

gfx::AffineTransform OutlineView::imageTransformToFitView() const
{
    const float w = static_cast<float>(m_outlineMask ? m_outlineMask->width() : 0);
    const float h = static_cast<float>(m_outlineMask ? m_outlineMask->height() : 0);
    gfx::AffineTransform t = window() ? window()->transform() : gfx::AffineTransform::identity();
    t = t.concat({1, 0, 0, -1, 0, h});
    const gfx::Rect fitted = t.apply(gfx::Rect(0, 0, w, h));
    const gfx::Rect b = bounds();
    const float s = std::min(static_cast<float>(b.width()) / static_cast<float>(fitted.width()),
                             static_cast<float>(b.height()) / static_cast<float>(fitted.height()));
    return t.concat(gfx::AffineTransform::scaling(s, s));
}

void OutlineView::renderOutlineOnContext(gfx::BitmapContext& context, const gfx::Color& color) const
{
    if (!m_outlineMask)
        return;
    context.clearRect(bounds());
    paintOutline(context, color);
}

void OutlineView::paintOutline(gfx::BitmapContext& context, const gfx::Color& color) const
{
    gfx::GStateSaver saver(context);
    const gfx::Rect b = bounds();
    const double w = m_outlineMask->width(), h = m_outlineMask->height();
    gfx::AffineTransform t = imageTransformToFitView();
    const gfx::Rect fitted = t.apply(gfx::Rect(0, 0, w, h));
    t.tx += (b.width() - fitted.width()) * 0.5 + b.x();
    t.ty += (b.height() - fitted.height()) * 0.5 + b.y();
    context.concat(t);
    // The fitting transform flips y, and the mask's first row belongs at the larger-y edge of
    // (0, 0, w, h) in that flipped space, so the two cancel and the sketch shows upright. Our
    // masks are placed with the first row at the smaller-y edge: map the unit square with a
    // second flip. Filling through the mask is clipping to it and filling the clip.
    context.fillMask(m_outlineMask, {w, 0, 0, -h, 0, h}, color, gfx::BlendMode::Normal);
}

// The window draws every view into one backing store, where clearing would wipe out the views
// beneath; the overlay's own area starts transparent, so painting alone gives the same result.
void OutlineView::drawRect(gfx::BitmapContext& context, const gfx::Rect&)
{
    if (m_outlineMask)
        paintOutline(context, kOutlineBlue);
}
