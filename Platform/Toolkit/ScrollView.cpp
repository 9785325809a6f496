#include "Toolkit/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "Toolkit/Window.h"

namespace ui {

namespace {
constexpr double kSmallestZoomScale = 1e-3;
constexpr double kLargestZoomScale = 1e3;

bool usableScale(double scale)
{
    return std::isfinite(scale) && scale >= kSmallestZoomScale && scale <= kLargestZoomScale;
}
} // namespace

ScrollView::ScrollView(const gfx::Rect& frame) : View(frame)
{
    setClipsToBounds(true);
    setMultipleTouchEnabled(true);
}

void ScrollView::setContentSize(gfx::Size size)
{
    if (std::isfinite(size.width) && std::isfinite(size.height))
        m_contentSize = {std::max(0.0, size.width), std::max(0.0, size.height)};
}

void ScrollView::setContentOffset(gfx::Point offset)
{
    stopGliding();
    moveContent(offset);
}

void ScrollView::moveContent(gfx::Point offset)
{
    if (!std::isfinite(offset.x) || !std::isfinite(offset.y))
        return;
    gfx::Rect b = bounds();
    if (b.origin == offset)
        return;
    setBounds({offset, b.size});
    didScroll();
}

void ScrollView::setContentInset(const EdgeInsets& insets)
{
    if (!std::isfinite(insets.top) || !std::isfinite(insets.left) || !std::isfinite(insets.bottom)
        || !std::isfinite(insets.right))
        return;
    gfx::Point offset = contentOffset();
    bool atTopLeft = offset.x == -m_contentInset.left && offset.y == -m_contentInset.top;
    m_contentInset = insets;
    if (atTopLeft && !isDragging() && !isZooming())
        setContentOffset({-insets.left, -insets.top});
}

void ScrollView::setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }

void ScrollView::setMinimumZoomScale(double scale)
{
    if (usableScale(scale))
        m_minimumZoomScale = scale;
}

void ScrollView::setMaximumZoomScale(double scale)
{
    if (usableScale(scale))
        m_maximumZoomScale = scale;
}

View* ScrollView::zoomingView()
{
    View* view = m_delegate ? m_delegate->viewForZoomingInScrollView(*this) : nullptr;
    return view && view->superview() == this ? view : nullptr;
}

double ScrollView::shownZoomScale()
{
    View* view = zoomingView();
    if (!view)
        return m_zoomScale;
    const gfx::AffineTransform& t = view->transform();
    double scale = std::hypot(t.a, t.b);
    return usableScale(scale) ? scale : m_zoomScale;
}

void ScrollView::setZoomScale(double scale)
{
    View* view = zoomingView();
    if (!view || !std::isfinite(scale))
        return;
    gfx::Point visibleCenter{bounds().width() / 2, bounds().height() / 2};
    gfx::Point offset = contentOffset();
    gfx::Point anchor = view->convertPointFromView({offset.x + visibleCenter.x, offset.y + visibleCenter.y}, this);
    zoomTo(scale, anchor, visibleCenter);
}

void ScrollView::zoomBy(double factor, gfx::Point point)
{
    View* view = zoomingView();
    if (!view || !std::isfinite(factor) || factor <= 0 || !std::isfinite(point.x) || !std::isfinite(point.y))
        return;
    gfx::Point offset = contentOffset();
    gfx::Point anchor = view->convertPointFromView(point, this);
    zoomTo(shownZoomScale() * factor, anchor, {point.x - offset.x, point.y - offset.y});
}

void ScrollView::zoomTo(double scale, gfx::Point anchor, gfx::Point visibleAnchor)
{
    View* view = zoomingView();
    if (!view || !std::isfinite(scale))
        return;
    double low = std::min(m_minimumZoomScale, m_maximumZoomScale);
    scale = std::clamp(scale, low, m_maximumZoomScale);
    gfx::Size size = view->bounds().size;
    view->setTransform(gfx::AffineTransform::scaling(scale, scale));
    view->setCenter({size.width * scale / 2, size.height * scale / 2}); // top-left at the content origin
    m_zoomScale = scale;
    m_contentSize = {size.width * scale, size.height * scale};
    gfx::Point moved = view->convertPointToView(anchor, this);
    setContentOffset(clampedOffset({moved.x - visibleAnchor.x, moved.y - visibleAnchor.y}));
}

EdgeInsets ScrollView::adjustedContentInset() const
{
    EdgeInsets insets = m_contentInset;
    const Window* root = window();
    if (!m_adjustsInsetToWindow || !root)
        return insets;
    const gfx::Rect shown = convertRectToView(bounds(), nullptr);
    const double hidden = shown.maxY() - root->bounds().maxY();
    if (hidden > 0)
        insets.bottom += hidden;
    return insets;
}

gfx::Point ScrollView::clampedOffset(gfx::Point offset) const
{
    gfx::Rect b = bounds();
    const EdgeInsets inset = adjustedContentInset();
    double minX = -inset.left, minY = -inset.top;
    double maxX = std::max(minX, m_contentSize.width + inset.right - b.width());
    double maxY = std::max(minY, m_contentSize.height + inset.bottom - b.height());
    return {std::clamp(offset.x, minX, maxX), std::clamp(offset.y, minY, maxY)};
}

gfx::Point ScrollView::visiblePoint(const Touch& touch) const
{
    gfx::Point local = touch.locationInView(this);
    gfx::Point offset = contentOffset();
    return {local.x - offset.x, local.y - offset.y};
}

} // namespace ui
