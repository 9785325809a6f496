#pragma once
// A drawing path as a value: subpaths of lines, cubic curves and arcs in user space. Building a
// path touches no drawing state; BitmapContext fills, strokes or clips to it.
#include <vector>

#include "Graphics/Geometry.h"

namespace gfx {

class Path {
public:
    enum class Op { MoveTo, LineTo, CurveTo, Close };
    struct Element {
        Op op;
        Point points[3]; // MoveTo/LineTo: [0]; CurveTo: control 1, control 2, end
    };

    void moveTo(Point p);
    void lineTo(Point p);
    void curveTo(Point control1, Point control2, Point end);
    // An arc of the circle around `center` from `startAngle` to `endAngle` (radians; positive
    // angles turn clockwise on screen, from +x towards +y), joined to the current point by a line.
    // `clockwise` false draws the other way round.
    void addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise = true);
    void addRect(const Rect& r);
    // A rectangle with quarter-circle corners; the radius is cut to half the shorter side.
    void addRoundedRect(const Rect& r, double radius);
    void addEllipse(const Rect& r);
    void closeSubpath();

    bool isEmpty() const { return m_elements.empty(); }
    const std::vector<Element>& elements() const { return m_elements; }
    // The box around every point, control points included.
    Rect boundingBox() const;

    static Path rect(const Rect& r);
    static Path roundedRect(const Rect& r, double radius);
    static Path ellipse(const Rect& r);

private:
    void addArcSegment(Point center, double radius, double from, double to);
    std::vector<Element> m_elements;
    bool m_hasCurrentPoint = false;
};

} // namespace gfx
