#pragma once
// Small value types for 2-D geometry. Coordinates are y-down: the origin is the top-left corner
// of a surface, x grows to the right and y downwards, one unit per pixel at scale 1.
#include <algorithm>
#include <cmath>

namespace gfx {

struct Point {
    double x = 0;
    double y = 0;
    constexpr bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    constexpr bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}

    constexpr double x() const { return origin.x; }
    constexpr double y() const { return origin.y; }
    constexpr double width() const { return size.width; }
    constexpr double height() const { return size.height; }
    constexpr double minX() const { return std::min(origin.x, origin.x + size.width); }
    constexpr double minY() const { return std::min(origin.y, origin.y + size.height); }
    constexpr double maxX() const { return std::max(origin.x, origin.x + size.width); }
    constexpr double maxY() const { return std::max(origin.y, origin.y + size.height); }
    constexpr double midX() const { return origin.x + size.width / 2; }
    constexpr double midY() const { return origin.y + size.height / 2; }

    // A rectangle with no area (the null rectangle of the union has none either).
    constexpr bool isEmpty() const { return !(size.width != 0 && size.height != 0); }
    constexpr bool contains(Point p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }

    // Same rectangle with non-negative width and height.
    constexpr Rect standardized() const { return {minX(), minY(), maxX() - minX(), maxY() - minY()}; }

    // Smallest rectangle holding both; an empty operand contributes nothing.
    constexpr Rect united(const Rect& o) const
    {
        if (isEmpty())
            return o.standardized();
        if (o.isEmpty())
            return standardized();
        double x0 = std::min(minX(), o.minX()), y0 = std::min(minY(), o.minY());
        double x1 = std::max(maxX(), o.maxX()), y1 = std::max(maxY(), o.maxY());
        return {x0, y0, x1 - x0, y1 - y0};
    }

    // Common part; an empty rectangle (0, 0, 0, 0) when they do not overlap.
    constexpr Rect intersected(const Rect& o) const
    {
        double x0 = std::max(minX(), o.minX()), y0 = std::max(minY(), o.minY());
        double x1 = std::min(maxX(), o.maxX()), y1 = std::min(maxY(), o.maxY());
        if (x1 <= x0 || y1 <= y0)
            return {};
        return {x0, y0, x1 - x0, y1 - y0};
    }

    // Smallest rectangle with whole-number edges that holds this one.
    Rect integral() const
    {
        if (isEmpty())
            return standardized();
        double x0 = std::floor(minX()), y0 = std::floor(minY());
        double x1 = std::ceil(maxX()), y1 = std::ceil(maxY());
        return {x0, y0, x1 - x0, y1 - y0};
    }

    constexpr Rect insetBy(double dx, double dy) const
    {
        Rect s = standardized();
        return {s.origin.x + dx, s.origin.y + dy, s.size.width - 2 * dx, s.size.height - 2 * dy};
    }

    constexpr bool operator==(const Rect&) const = default;
};

// Integer pixel rectangle, for loops over pixels.
struct IntRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    constexpr bool isEmpty() const { return width <= 0 || height <= 0; }
    constexpr bool operator==(const IntRect&) const = default;
};

// The pixels a rectangle touches, clipped to a w x h surface.
inline IntRect pixelBounds(const Rect& r, int surfaceWidth, int surfaceHeight)
{
    Rect i = r.integral().intersected(Rect(0, 0, surfaceWidth, surfaceHeight));
    if (i.isEmpty())
        return {};
    return {static_cast<int>(i.x()), static_cast<int>(i.y()), static_cast<int>(i.width()),
            static_cast<int>(i.height())};
}

// x' = a*x + c*y + tx, y' = b*x + d*y + ty: the (a, b, c, d, tx, ty) convention.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr AffineTransform identity() { return {}; }
    static constexpr AffineTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static constexpr AffineTransform scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Positive angles turn from +x towards +y: clockwise on a y-down screen.
    static AffineTransform rotation(double radians)
    {
        double cs = std::cos(radians), sn = std::sin(radians);
        return {cs, sn, -sn, cs, 0, 0};
    }

    constexpr bool isIdentity() const { return *this == AffineTransform{}; }

    // The transform that applies `this` first, then `other`.
    constexpr AffineTransform concat(const AffineTransform& o) const
    {
        return {a * o.a + b * o.c, a * o.b + b * o.d,          c * o.a + d * o.c,
                c * o.b + d * o.d, tx * o.a + ty * o.c + o.tx, tx * o.b + ty * o.d + o.ty};
    }
    // These prepend the operation, as a context's translate/scale/rotate do: the new operation
    // applies to coordinates first, then the existing transform.
    constexpr AffineTransform translated(double x, double y) const { return translation(x, y).concat(*this); }
    constexpr AffineTransform scaled(double sx, double sy) const { return scaling(sx, sy).concat(*this); }

    constexpr double determinant() const { return a * d - b * c; }
    // The inverse; a singular transform is returned unchanged.
    constexpr AffineTransform inverted() const
    {
        double det = determinant();
        if (det == 0)
            return *this;
        return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
    }

    constexpr Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    constexpr Size apply(Size s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
    // Bounding box of the transformed rectangle.
    constexpr Rect apply(const Rect& r) const
    {
        Point p[4] = {apply(Point{r.minX(), r.minY()}), apply(Point{r.maxX(), r.minY()}),
                      apply(Point{r.minX(), r.maxY()}), apply(Point{r.maxX(), r.maxY()})};
        double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
        for (const auto& q : p) {
            x0 = std::min(x0, q.x);
            x1 = std::max(x1, q.x);
            y0 = std::min(y0, q.y);
            y1 = std::max(y1, q.y);
        }
        return {x0, y0, x1 - x0, y1 - y0};
    }

    constexpr bool operator==(const AffineTransform&) const = default;
};

} // namespace gfx
