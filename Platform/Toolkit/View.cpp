#include "Toolkit/View.h"

#include <algorithm>
#include <cmath>

#include "Foundation/Assert.h"
#include "Toolkit/ViewController.h"
#include "Toolkit/Window.h"

namespace ui {

namespace {
using Values = Animator::Values;

Values pack(double v) { return {v, 0, 0, 0, 0, 0}; }
Values pack(gfx::Point p) { return {p.x, p.y, 0, 0, 0, 0}; }
Values pack(const gfx::Rect& r) { return {r.x(), r.y(), r.width(), r.height(), 0, 0}; }
Values pack(const gfx::AffineTransform& t) { return {t.a, t.b, t.c, t.d, t.tx, t.ty}; }
} // namespace

View::View(const gfx::Rect& frame)
{
    gfx::Rect f = frame.standardized();
    m_bounds = {0, 0, f.width(), f.height()};
    m_center = {f.midX(), f.midY()};
}

View::~View()
{
    for (auto& sub : m_subviews)
        sub->m_superview = nullptr;
}

gfx::Rect View::frame() const
{
    gfx::Rect local = m_bounds;
    return transformToSuperview().apply(local);
}

void View::setFrame(const gfx::Rect& frame)
{
    gfx::Rect f = frame.standardized();
    // The frame fixes the centre and, through the inverse of any scale, the bounds size.
    setCenter({f.midX(), f.midY()});
    if (m_transform.isIdentity())
        setBounds({m_bounds.x(), m_bounds.y(), f.width(), f.height()});
}

void View::setBounds(const gfx::Rect& bounds)
{
    gfx::Rect b = bounds.standardized();
    if (b == m_bounds)
        return;
    invalidateFootprint();
    if (Animator::shared().isRecording())
        Animator::shared().record(*this, AnimatedProperty::Bounds, pack(presentationBounds()), pack(b));
    if (b.size != m_bounds.size)
        m_needsLayout = true;
    m_bounds = b;
    invalidateFootprint();
}

void View::setCenter(gfx::Point center)
{
    if (center == m_center)
        return;
    invalidateFootprint();
    if (Animator::shared().isRecording())
        Animator::shared().record(*this, AnimatedProperty::Center, pack(presentationCenter()), pack(center));
    m_center = center;
    invalidateFootprint();
}

void View::setTransform(const gfx::AffineTransform& transform)
{
    if (transform == m_transform)
        return;
    invalidateFootprint();
    if (Animator::shared().isRecording())
        Animator::shared().record(*this, AnimatedProperty::Transform, pack(presentationTransform()), pack(transform));
    m_transform = transform;
    invalidateFootprint();
}

void View::setAlpha(double alpha)
{
    alpha = std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, 1.0);
    if (Animator::shared().isRecording())
        Animator::shared().record(*this, AnimatedProperty::Alpha, pack(presentationAlpha()), pack(alpha));
    m_alpha = alpha;
    invalidateFootprint();
}

void View::setHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    invalidateFootprint();
}

void View::setBackgroundColor(std::optional<gfx::Color> color)
{
    m_backgroundColor = color;
    setNeedsDisplay();
}

void View::setClipsToBounds(bool clips)
{
    invalidateFootprint();
    m_clipsToBounds = clips;
}

void View::setOverhang(const EdgeInsets& overhang)
{
    if (overhang == m_overhang)
        return;
    invalidateFootprint();
    m_overhang = overhang;
    invalidateFootprint();
}

gfx::Rect View::presentationDrawingBounds() const
{
    return EdgeInsets{-m_overhang.top, -m_overhang.left, -m_overhang.bottom, -m_overhang.right}.inset(
        presentationBounds());
}

void View::drawRect(gfx::BitmapContext& /*context*/, const gfx::Rect& /*dirty*/) {}

void View::setNeedsDisplay() { setNeedsDisplayInRect(presentationDrawingBounds()); }

void View::setNeedsDisplayInRect(const gfx::Rect& rect)
{
    Window* w = window();
    if (!w || rect.isEmpty())
        return;
    gfx::AffineTransform toWindow;
    for (const View* v = this; v && v->m_superview; v = v->m_superview)
        toWindow = toWindow.concat(v->presentationTransformToSuperview());
    w->addDirtyRect(toWindow.apply(rect.standardized()));
}

void View::invalidateFootprint()
{
    if (Window* w = window())
        w->addDirtyRect(windowFootprint());
}

void View::layoutIfNeeded()
{
    if (m_needsLayout) {
        m_needsLayout = false;
        layoutSubviews();
    }
    // By index: a layout pass may add or remove subviews.
    for (std::size_t i = 0; i < m_subviews.size(); ++i)
        m_subviews[i]->layoutIfNeeded();
}

Responder* View::nextResponder() const
{
    if (m_viewController)
        return m_viewController;
    return m_superview;
}

double View::presentationAlpha() const
{
    Values v;
    if (m_runningAnimations && Animator::shared().presentationValue(*this, AnimatedProperty::Alpha, v))
        return v[0];
    return m_alpha;
}

gfx::Point View::presentationCenter() const
{
    Values v;
    if (m_runningAnimations && Animator::shared().presentationValue(*this, AnimatedProperty::Center, v))
        return {v[0], v[1]};
    return m_center;
}

gfx::Rect View::presentationBounds() const
{
    Values v;
    if (m_runningAnimations && Animator::shared().presentationValue(*this, AnimatedProperty::Bounds, v))
        return {v[0], v[1], v[2], v[3]};
    return m_bounds;
}

gfx::AffineTransform View::presentationTransform() const
{
    Values v;
    if (m_runningAnimations && Animator::shared().presentationValue(*this, AnimatedProperty::Transform, v))
        return {v[0], v[1], v[2], v[3], v[4], v[5]};
    return m_transform;
}

} // namespace ui
