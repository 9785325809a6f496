#include "DemoPaintView.h"

#include <cmath>

#include "Toolkit/ImageAsset.h"
#include "Toolkit/Touch.h"

DemoPaintView::DemoPaintView(const gfx::Rect& frame)
    : View(frame)
{
    setMultipleTouchEnabled(true);
    setAccessibilityLabel("Paint");
}

// The paper is made at the current screen scale the first time it is needed.
bool DemoPaintView::ensurePaper()
{
    double scale = ui::screenScale();
    if (m_paper && m_paperScale == scale)
        return true;
    int w = static_cast<int>(std::ceil(bounds().width() * scale));
    int h = static_cast<int>(std::ceil(bounds().height() * scale));
    m_paper = gfx::BitmapContext::create(w, h);
    m_paperScale = scale;
    if (!m_paper)
        return false;
    m_paper->scale(scale, scale);
    m_paper->setStrokeColor(m_strokeColor);
    m_paper->setFillColor(m_strokeColor);
    m_paper->setLineWidth(kStrokeWidth);
    return true;
}

void DemoPaintView::clear()
{
    m_paper.reset();
    m_segments = 0;
    setNeedsDisplay();
}

void DemoPaintView::paintSegment(gfx::Point from, gfx::Point to)
{
    if (!ensurePaper())
        return;
    m_paper->strokeLine(from, to);
    // Round ends, so consecutive segments join without notches.
    const double r = kStrokeWidth / 2;
    m_paper->fillEllipse({to.x - r, to.y - r, kStrokeWidth, kStrokeWidth});
    ++m_segments;
    gfx::Rect touched = gfx::Rect(from, {to.x - from.x, to.y - from.y}).standardized().insetBy(-r - 1, -r - 1);
    setNeedsDisplayInRect(touched);
}

void DemoPaintView::touchesBegan(const ui::TouchSet& touches, const ui::Event&)
{
    for (const auto& touch : touches) {
        gfx::Point p = touch->locationInView(this);
        paintSegment(p, p);
    }
}

void DemoPaintView::touchesMoved(const ui::TouchSet& touches, const ui::Event&)
{
    for (const auto& touch : touches)
        paintSegment(touch->previousLocationInView(this), touch->locationInView(this));
}

void DemoPaintView::drawRect(gfx::BitmapContext& context, const gfx::Rect&)
{
    if (m_paper)
        context.drawBitmap(bounds(), *m_paper);
}
