// BitmapContext: the transform and the clip.
#include <cmath>

#include "Graphics/BitmapContext.h"
#include "Graphics/BitmapContextNative.h"

namespace gfx {

void BitmapContext::translate(double x, double y) { cairo_translate(m_native->cr(), x, y); }
void BitmapContext::scale(double sx, double sy) { cairo_scale(m_native->cr(), sx, sy); }
void BitmapContext::rotate(double radians) { cairo_rotate(m_native->cr(), radians); }

void BitmapContext::concat(const AffineTransform& t)
{
    if (t.determinant() == 0 || !std::isfinite(t.determinant()))
        return; // a singular transform would put cairo into an error state for good
    cairo_matrix_t m = detail::toCairo(t);
    cairo_transform(m_native->cr(), &m);
}

AffineTransform BitmapContext::ctm() const
{
    cairo_matrix_t m;
    cairo_get_matrix(m_native->cr(), &m);
    return detail::fromCairo(m);
}

void BitmapContext::setCTM(const AffineTransform& t)
{
    if (t.determinant() == 0 || !std::isfinite(t.determinant()))
        return;
    cairo_matrix_t m = detail::toCairo(t);
    cairo_set_matrix(m_native->cr(), &m);
}

void BitmapContext::clipToRect(const Rect& r)
{
    const AffineTransform m = ctm();
    const Rect device = m.apply(r);
    auto whole = [](double v) { return std::isfinite(v) && v == std::round(v); };
    if (m.b != 0 || m.c != 0 || !whole(device.minX()) || !whole(device.minY()) || !whole(device.maxX())
        || !whole(device.maxY()))
        state().clipIsPixelRect = false;
    cairo_t* cr = m_native->cr();
    cairo_new_path(cr);
    if (detail::validRect(r))
        cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
    cairo_clip(cr); // an empty path clips everything away
}

void BitmapContext::clipToMask(const Rect& rect, const ImageMaskRef& mask)
{
    clipToRect(rect);
    if (!mask || !detail::validRect(rect))
        return;
    // Device space -> mask samples, fixed now so later transform changes do not move the mask.
    cairo_matrix_t userToMask = detail::stretchMatrix(rect, mask->width(), mask->height());
    cairo_matrix_t deviceToUser;
    cairo_get_matrix(m_native->cr(), &deviceToUser);
    cairo_matrix_invert(&deviceToUser);
    cairo_matrix_t deviceToMask;
    cairo_matrix_multiply(&deviceToMask, &deviceToUser, &userToMask);
    MaskClip clip{
        mask, {deviceToMask.xx, deviceToMask.yx, deviceToMask.xy, deviceToMask.yy, deviceToMask.x0, deviceToMask.y0}};
    state().masks.push_back(std::move(clip));
}

void BitmapContext::clipToPath(const Path& path, FillRule rule)
{
    state().clipIsPixelRect = false;
    cairo_t* cr = m_native->cr();
    if (!detail::finitePath(path)) {
        cairo_new_path(cr);
        cairo_clip(cr);
        return;
    }
    appendPath(path);
    cairo_set_fill_rule(cr, rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

Rect BitmapContext::clipBoundingBox() const
{
    double x0, y0, x1, y1;
    cairo_clip_extents(m_native->cr(), &x0, &y0, &x1, &y1);
    return {x0, y0, x1 - x0, y1 - y0};
}

void BitmapContext::appendPath(const Path& path)
{
    cairo_t* cr = m_native->cr();
    cairo_new_path(cr);
    for (const Path::Element& e : path.elements()) {
        switch (e.op) {
        case Path::Op::MoveTo: cairo_move_to(cr, e.points[0].x, e.points[0].y); break;
        case Path::Op::LineTo: cairo_line_to(cr, e.points[0].x, e.points[0].y); break;
        case Path::Op::CurveTo:
            cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                           e.points[2].y);
            break;
        case Path::Op::Close: cairo_close_path(cr); break;
        }
    }
}

} // namespace gfx
