#include "Graphics/BitmapContext.h"

#include <algorithm>
#include <cmath>

#include "Foundation/Assert.h"
#include "Graphics/BitmapContextNative.h"
#include "Graphics/PixelFormat.h"

namespace gfx {

std::unique_ptr<BitmapContext> BitmapContext::create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return nullptr;
    auto native = std::make_unique<Native>();
    native->surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(native->target()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    native->context.reset(cairo_create(native->target()));
    if (cairo_status(native->cr()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return std::unique_ptr<BitmapContext>(new BitmapContext(std::move(native), width, height));
}

BitmapContext::BitmapContext(std::unique_ptr<Native> native, int width, int height)
    : m_native(std::move(native)), m_width(width), m_height(height), m_states(1)
{
}

BitmapContext::~BitmapContext() = default;

int BitmapContext::bytesPerRow() const { return cairo_image_surface_get_stride(m_native->target()); }

void BitmapContext::saveGState()
{
    cairo_save(m_native->cr());
    m_states.push_back(m_states.back());
}

void BitmapContext::restoreGState()
{
    KANVARO_ASSERT(m_states.size() > 1);
    cairo_restore(m_native->cr());
    m_states.pop_back();
}

void BitmapContext::setFillColor(const Color& c) { state().fill = c; }
void BitmapContext::setStrokeColor(const Color& c) { state().stroke = c; }
void BitmapContext::setLineWidth(double w) { state().lineWidth = w; }
void BitmapContext::setAlpha(double alpha) { state().alpha = std::clamp(alpha, 0.0, 1.0); }
void BitmapContext::setBlendMode(BlendMode mode) { state().blend = mode; }
void BitmapContext::setImageInterpolation(bool enabled) { state().interpolate = enabled; }
void BitmapContext::setLineCap(LineCap cap) { state().lineCap = cap; }
void BitmapContext::setLineJoin(LineJoin join) { state().lineJoin = join; }

void BitmapContext::setShadow(Size offset, double blur, const Color& color)
{
    State& s = state();
    const bool usable = std::isfinite(offset.width) && std::isfinite(offset.height) && std::isfinite(blur);
    s.shadowOffset = usable ? offset : Size{};
    s.shadowBlur = usable ? std::clamp(blur, 0.0, 1000.0) : 0;
    s.shadowColor = usable ? color : Color::clear();
}

bool BitmapContext::hasShadow() const
{
    const State& s = state();
    return s.shadowColor.alpha > 0 && s.blend != BlendMode::Clear;
}

void BitmapContext::applySource(const Color& c)
{
    const State& s = state();
    if (s.blend == BlendMode::Clear)
        cairo_set_source_rgba(m_native->cr(), 0, 0, 0, 1);
    else
        cairo_set_source_rgba(m_native->cr(), c.red, c.green, c.blue, c.alpha * s.alpha);
}

void BitmapContext::applyStroke()
{
    const State& s = state();
    cairo_t* cr = m_native->cr();
    cairo_set_line_width(cr, s.lineWidth);
    cairo_set_line_cap(cr, s.lineCap == LineCap::Round    ? CAIRO_LINE_CAP_ROUND
                           : s.lineCap == LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                          : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, s.lineJoin == LineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                            : s.lineJoin == LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                            : CAIRO_LINE_JOIN_MITER);
}

// Room for the widest stroke around a path: half the width, or a mitred corner (cairo's miter
// limit of 10 keeps it within five widths).
Rect BitmapContext::strokeBounds(const Rect& pathBounds) const
{
    const double w = std::abs(state().lineWidth);
    const double grow = state().lineJoin == LineJoin::Miter ? 5 * w : w;
    return pathBounds.insetBy(-grow - 1, -grow - 1);
}

} // namespace gfx
