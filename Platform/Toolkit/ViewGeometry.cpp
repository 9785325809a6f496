// Coordinate conversion between views, hit testing and screen footprints.
#include "Toolkit/View.h"

namespace ui {

namespace {
// bounds space -> superview space: move the bounds' midpoint to the origin, transform, then move
// it to the centre.
gfx::AffineTransform placement(const gfx::Rect& bounds, const gfx::AffineTransform& transform, gfx::Point center)
{
    return gfx::AffineTransform::translation(-bounds.midX(), -bounds.midY())
        .concat(transform)
        .concat(gfx::AffineTransform::translation(center.x, center.y));
}

// Model transform from a view's coordinates to its root's.
gfx::AffineTransform toRoot(const View* view)
{
    gfx::AffineTransform m;
    for (const View* v = view; v && v->superview(); v = v->superview())
        m = m.concat(v->transformToSuperview());
    return m;
}

gfx::Rect footprintIn(const View& view, const gfx::AffineTransform& toWindow)
{
    if (view.clipsToBounds())
        return toWindow.apply(view.presentationBounds());
    gfx::Rect area = toWindow.apply(view.presentationDrawingBounds());
    for (const auto& sub : view.subviews())
        area = area.united(footprintIn(*sub, sub->presentationTransformToSuperview().concat(toWindow)));
    return area;
}
} // namespace

gfx::AffineTransform View::transformToSuperview() const { return placement(m_bounds, m_transform, m_center); }

gfx::AffineTransform View::presentationTransformToSuperview() const
{
    if (!m_runningAnimations)
        return transformToSuperview();
    return placement(presentationBounds(), presentationTransform(), presentationCenter());
}

gfx::Point View::convertPointToView(gfx::Point point, const View* view) const
{
    gfx::Point inRoot = toRoot(this).apply(point);
    return view ? toRoot(view).inverted().apply(inRoot) : inRoot;
}

gfx::Point View::convertPointFromView(gfx::Point point, const View* view) const
{
    gfx::Point inRoot = view ? toRoot(view).apply(point) : point;
    return toRoot(this).inverted().apply(inRoot);
}

gfx::Rect View::convertRectToView(const gfx::Rect& rect, const View* view) const
{
    gfx::AffineTransform m = toRoot(this);
    if (view)
        m = m.concat(toRoot(view).inverted());
    return m.apply(rect);
}

gfx::Rect View::convertRectFromView(const gfx::Rect& rect, const View* view) const
{
    gfx::AffineTransform m = view ? toRoot(view) : gfx::AffineTransform{};
    return m.concat(toRoot(this).inverted()).apply(rect);
}

bool View::pointInside(gfx::Point point) const
{
    return EdgeInsets{-m_overhang.top, -m_overhang.left, -m_overhang.bottom, -m_overhang.right}
        .inset(m_bounds)
        .contains(point);
}

View* View::hitTest(gfx::Point point)
{
    if (m_hidden || !m_userInteractionEnabled || m_alpha < 0.01)
        return nullptr;
    if (!pointInside(point))
        return nullptr;
    // Front to back: the last subview is drawn on top, so it is asked first.
    for (auto it = m_subviews.rbegin(); it != m_subviews.rend(); ++it) {
        View& sub = **it;
        if (sub.transformToSuperview().determinant() == 0)
            continue;
        gfx::Point local = sub.transformToSuperview().inverted().apply(point);
        if (View* hit = sub.hitTest(local))
            return hit;
    }
    return this;
}

gfx::Rect View::windowFootprint() const
{
    gfx::AffineTransform toWindow;
    for (const View* v = this; v && v->m_superview; v = v->m_superview)
        toWindow = toWindow.concat(v->presentationTransformToSuperview());
    return footprintIn(*this, toWindow);
}

} // namespace ui
