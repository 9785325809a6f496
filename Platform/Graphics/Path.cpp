#include "Graphics/Path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gfx {

void Path::moveTo(Point p)
{
    m_elements.push_back({Op::MoveTo, {p, {}, {}}});
    m_hasCurrentPoint = true;
}

void Path::lineTo(Point p)
{
    if (!m_hasCurrentPoint) {
        moveTo(p);
        return;
    }
    m_elements.push_back({Op::LineTo, {p, {}, {}}});
}

void Path::curveTo(Point control1, Point control2, Point end)
{
    if (!m_hasCurrentPoint)
        moveTo(control1);
    m_elements.push_back({Op::CurveTo, {control1, control2, end}});
}

void Path::closeSubpath()
{
    if (!m_hasCurrentPoint)
        return;
    m_elements.push_back({Op::Close, {}});
    m_hasCurrentPoint = false;
}

// One cubic Bezier for an arc of at most a quarter turn.
void Path::addArcSegment(Point center, double radius, double from, double to)
{
    const double k = 4.0 / 3.0 * std::tan((to - from) / 4);
    const double c0 = std::cos(from), s0 = std::sin(from), c1 = std::cos(to), s1 = std::sin(to);
    curveTo({center.x + radius * (c0 - k * s0), center.y + radius * (s0 + k * c0)},
            {center.x + radius * (c1 + k * s1), center.y + radius * (s1 - k * c1)},
            {center.x + radius * c1, center.y + radius * s1});
}

void Path::addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise)
{
    if (!(radius > 0) || !std::isfinite(radius) || !std::isfinite(startAngle) || !std::isfinite(endAngle))
        return;
    constexpr double turn = 2 * std::numbers::pi;
    if (clockwise) {
        while (endAngle < startAngle)
            endAngle += turn;
    } else {
        while (endAngle > startAngle)
            endAngle -= turn;
    }
    const Point start{center.x + radius * std::cos(startAngle), center.y + radius * std::sin(startAngle)};
    lineTo(start);
    const double sweep = endAngle - startAngle;
    const int segments = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    for (int i = 0; i < segments; ++i)
        addArcSegment(center, radius, startAngle + sweep * i / segments, startAngle + sweep * (i + 1) / segments);
}

void Path::addRect(const Rect& r)
{
    moveTo({r.minX(), r.minY()});
    lineTo({r.maxX(), r.minY()});
    lineTo({r.maxX(), r.maxY()});
    lineTo({r.minX(), r.maxY()});
    closeSubpath();
}

void Path::addRoundedRect(const Rect& rect, double radius)
{
    const Rect r = rect.standardized();
    radius = std::clamp(radius, 0.0, std::min(r.width(), r.height()) / 2);
    if (!(radius > 0)) {
        addRect(r);
        return;
    }
    constexpr double quarter = std::numbers::pi / 2;
    moveTo({r.minX() + radius, r.minY()});
    addArc({r.maxX() - radius, r.minY() + radius}, radius, -quarter, 0);
    addArc({r.maxX() - radius, r.maxY() - radius}, radius, 0, quarter);
    addArc({r.minX() + radius, r.maxY() - radius}, radius, quarter, 2 * quarter);
    addArc({r.minX() + radius, r.minY() + radius}, radius, 2 * quarter, 3 * quarter);
    closeSubpath();
}

void Path::addEllipse(const Rect& rect)
{
    const Rect r = rect.standardized();
    if (r.isEmpty())
        return;
    // A unit circle's four quarter curves, stretched over the rectangle.
    constexpr double k = 0.5522847498307936;
    const double cx = r.midX(), cy = r.midY(), rx = r.width() / 2, ry = r.height() / 2;
    moveTo({cx + rx, cy});
    curveTo({cx + rx, cy + k * ry}, {cx + k * rx, cy + ry}, {cx, cy + ry});
    curveTo({cx - k * rx, cy + ry}, {cx - rx, cy + k * ry}, {cx - rx, cy});
    curveTo({cx - rx, cy - k * ry}, {cx - k * rx, cy - ry}, {cx, cy - ry});
    curveTo({cx + k * rx, cy - ry}, {cx + rx, cy - k * ry}, {cx + rx, cy});
    closeSubpath();
}

Rect Path::boundingBox() const
{
    Rect box;
    bool first = true;
    auto add = [&](Point p) {
        Rect one(p.x, p.y, 0, 0);
        if (first) {
            box = one;
            first = false;
            return;
        }
        const double x0 = std::min(box.minX(), p.x), y0 = std::min(box.minY(), p.y);
        const double x1 = std::max(box.maxX(), p.x), y1 = std::max(box.maxY(), p.y);
        box = Rect(x0, y0, x1 - x0, y1 - y0);
    };
    for (const Element& e : m_elements) {
        const int count = e.op == Op::CurveTo ? 3 : e.op == Op::Close ? 0 : 1;
        for (int i = 0; i < count; ++i)
            add(e.points[i]);
    }
    return box;
}

Path Path::rect(const Rect& r)
{
    Path p;
    p.addRect(r);
    return p;
}

Path Path::roundedRect(const Rect& r, double radius)
{
    Path p;
    p.addRoundedRect(r, radius);
    return p;
}

Path Path::ellipse(const Rect& r)
{
    Path p;
    p.addEllipse(r);
    return p;
}

} // namespace gfx
