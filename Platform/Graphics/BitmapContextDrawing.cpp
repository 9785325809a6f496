// BitmapContext: fills, strokes, paths, gradients and transparency layers, all laid down through
// the state's blend mode, mask clips and shadow.
#include <algorithm>
#include <cmath>

#include "Foundation/Assert.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/BitmapContextNative.h"

namespace gfx {

namespace {

cairo_operator_t cairoOperator(BlendMode mode)
{
    switch (mode) {
    case BlendMode::SourceAtop: return CAIRO_OPERATOR_ATOP;
    case BlendMode::Clear: return CAIRO_OPERATOR_DEST_OUT; // drawn with an opaque source: keeps 1 - coverage
    case BlendMode::Copy: return CAIRO_OPERATOR_SOURCE;
    case BlendMode::Normal: break;
    }
    return CAIRO_OPERATOR_OVER;
}

void addStops(cairo_pattern_t* pattern, const Gradient& gradient, double alpha)
{
    for (const GradientStop& stop : gradient.stops())
        cairo_pattern_add_color_stop_rgba(pattern, std::clamp(stop.offset, 0.0, 1.0), stop.color.red, stop.color.green,
                                          stop.color.blue, stop.color.alpha * alpha);
}

} // namespace

void BitmapContext::drawWithState(const Rect& userBounds, DrawStep draw)
{
    if (hasShadow())
        drawWithShadow(userBounds, draw);
    else
        drawThroughMasks(draw);
}

// Without mask clips the drawing goes straight into the bitmap; with them it is rendered into a
// group (the size of the clip) and then laid down through each mask in turn.
void BitmapContext::drawThroughMasks(DrawStep draw)
{
    const State& s = state();
    cairo_t* cr = m_native->cr();
    cairo_operator_t op = cairoOperator(s.blend);
    if (s.masks.empty()) {
        cairo_set_operator(cr, op);
        draw();
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        return;
    }
    cairo_push_group(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    draw();
    for (std::size_t i = 0; i < s.masks.size(); ++i) {
        cairo_pop_group_to_source(cr);
        bool last = i + 1 == s.masks.size();
        if (!last)
            cairo_push_group(cr);
        const MaskClip& clip = s.masks[i];
        detail::PatternPtr pattern(cairo_pattern_create_for_surface(clip.mask->coverageSurface().get()));
        cairo_matrix_t m = detail::toCairo(clip.matrix[0], clip.matrix[1], clip.matrix[2], clip.matrix[3],
                                           clip.matrix[4], clip.matrix[5]);
        cairo_pattern_set_matrix(pattern.get(), &m);
        cairo_pattern_set_filter(pattern.get(),
                                 clip.mask->interpolate() ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_operator(cr, last ? op : CAIRO_OPERATOR_OVER);
        cairo_mask(cr, pattern.get());
        cairo_restore(cr);
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void BitmapContext::fillRect(const Rect& r)
{
    if (!detail::validRect(r))
        return;
    drawWithState(r, step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      applySource(state().fill);
                      cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
                      cairo_fill(cr);
                  }));
}

void BitmapContext::fillEllipse(const Rect& r)
{
    if (!detail::validRect(r))
        return;
    drawWithState(r, step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      applySource(state().fill);
                      cairo_save(cr);
                      cairo_translate(cr, r.midX(), r.midY());
                      cairo_scale(cr, r.width() / 2, r.height() / 2);
                      cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
                      cairo_restore(cr);
                      cairo_fill(cr);
                  }));
}

void BitmapContext::clearRect(const Rect& r)
{
    if (!detail::validRect(r))
        return;
    BlendMode saved = state().blend;
    double savedAlpha = state().alpha;
    state().blend = BlendMode::Clear; // clearing is full strength whatever the global alpha
    state().alpha = 1;
    fillRect(r);
    state().blend = saved;
    state().alpha = savedAlpha;
}

void BitmapContext::strokeRect(const Rect& r)
{
    if (!detail::validRect(r))
        return;
    drawWithState(strokeBounds(r.standardized()), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      applySource(state().stroke);
                      applyStroke();
                      cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
                      cairo_stroke(cr);
                  }));
}

void BitmapContext::strokeLine(Point from, Point to)
{
    Point points[2] = {from, to};
    strokeLineSegments(points, 2);
}

void BitmapContext::strokeLineSegments(const Point* points, std::size_t count)
{
    if (count < 2)
        return;
    Path segments;
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        segments.moveTo(points[i]);
        segments.lineTo(points[i + 1]);
    }
    strokePath(segments);
}

void BitmapContext::fillPath(const Path& path, FillRule rule)
{
    if (path.isEmpty() || !detail::finitePath(path))
        return;
    drawWithState(path.boundingBox(), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      applySource(state().fill);
                      appendPath(path);
                      cairo_set_fill_rule(cr, rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD
                                                                        : CAIRO_FILL_RULE_WINDING);
                      cairo_fill(cr);
                      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
                  }));
}

void BitmapContext::strokePath(const Path& path)
{
    if (path.isEmpty() || !detail::finitePath(path))
        return;
    drawWithState(strokeBounds(path.boundingBox()), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      applySource(state().stroke);
                      applyStroke();
                      appendPath(path);
                      cairo_stroke(cr);
                  }));
}

void BitmapContext::drawLinearGradient(const Gradient& gradient, Point start, Point end)
{
    if (gradient.stops().empty())
        return;
    detail::PatternPtr pattern(cairo_pattern_create_linear(start.x, start.y, end.x, end.y));
    addStops(pattern.get(), gradient, state().blend == BlendMode::Clear ? 1 : state().alpha);
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    drawWithState(clipBoundingBox(), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      cairo_set_source(cr, pattern.get());
                      cairo_paint(cr);
                  }));
}

void BitmapContext::drawRadialGradient(const Gradient& gradient, Point startCenter, double startRadius, Point endCenter,
                                       double endRadius)
{
    if (gradient.stops().empty() || !(startRadius >= 0) || !(endRadius >= 0))
        return;
    detail::PatternPtr pattern(
        cairo_pattern_create_radial(startCenter.x, startCenter.y, startRadius, endCenter.x, endCenter.y, endRadius));
    addStops(pattern.get(), gradient, state().blend == BlendMode::Clear ? 1 : state().alpha);
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    drawWithState(clipBoundingBox(), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      cairo_set_source(cr, pattern.get());
                      cairo_paint(cr);
                  }));
}

void BitmapContext::beginTransparencyLayer(double alpha)
{
    // Inside the layer everything draws plainly; the alpha, blend mode, mask clips and shadow of
    // the begin apply once, when the layer is laid down.
    State inner = state();
    inner.alpha = 1;
    inner.blend = BlendMode::Normal;
    inner.masks.clear();
    inner.shadowColor = Color::clear();
    m_states.push_back(std::move(inner));
    m_layerAlphas.push_back(std::clamp(alpha, 0.0, 1.0));
    cairo_push_group(m_native->cr());
}

void BitmapContext::endTransparencyLayer()
{
    KANVARO_ASSERT(!m_layerAlphas.empty());
    detail::PatternPtr group(cairo_pop_group(m_native->cr()));
    const double alpha = m_layerAlphas.back();
    m_layerAlphas.pop_back();
    m_states.pop_back();
    drawWithState(clipBoundingBox(), step([&] {
                      cairo_t* cr = m_native->cr(); // the shadow may swap in a context of its own
                      cairo_set_source(cr, group.get());
                      cairo_paint_with_alpha(cr, alpha * state().alpha);
                  }));
}

} // namespace gfx
