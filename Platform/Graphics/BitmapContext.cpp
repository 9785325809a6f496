#include "Graphics/BitmapContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Foundation/Assert.h"
#include "Graphics/CairoHandles.h"
#include "Graphics/Layer.h"
#include "Graphics/MaskFill.h"
#include "Graphics/PixelFormat.h"

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

cairo_filter_t imageFilter(bool interpolate) { return interpolate ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST; }

// Pattern matrix (user space -> source pixels) that stretches a w x h source over `r`.
cairo_matrix_t stretchMatrix(const Rect& r, int w, int h)
{
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, w / r.width(), h / r.height());
    cairo_matrix_translate(&m, -r.x(), -r.y());
    return m;
}

bool validRect(const Rect& r) { return r.width() != 0 && r.height() != 0 && std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height()); }

} // namespace

std::unique_ptr<BitmapContext> BitmapContext::create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return nullptr;
    detail::SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    detail::ContextPtr cr(cairo_create(surface.get()));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return std::unique_ptr<BitmapContext>(new BitmapContext(surface.release(), cr.release(), width, height));
}

BitmapContext::BitmapContext(cairo_surface_t* surface, cairo_t* cr, int width, int height)
    : m_surface(surface)
    , m_cr(cr)
    , m_width(width)
    , m_height(height)
    , m_states(1)
{
}

BitmapContext::~BitmapContext()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

int BitmapContext::bytesPerRow() const { return cairo_image_surface_get_stride(m_surface); }

void BitmapContext::saveGState()
{
    cairo_save(m_cr);
    m_states.push_back(m_states.back());
}

void BitmapContext::restoreGState()
{
    KANVARO_ASSERT(m_states.size() > 1);
    cairo_restore(m_cr);
    m_states.pop_back();
}

void BitmapContext::translate(double x, double y) { cairo_translate(m_cr, x, y); }
void BitmapContext::scale(double sx, double sy) { cairo_scale(m_cr, sx, sy); }
void BitmapContext::rotate(double radians) { cairo_rotate(m_cr, radians); }

void BitmapContext::concat(const AffineTransform& t)
{
    if (t.determinant() == 0)
        return; // a singular transform would put cairo into an error state for good
    cairo_matrix_t m = detail::toCairo(t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(m_cr, &m);
}

AffineTransform BitmapContext::ctm() const
{
    cairo_matrix_t m;
    cairo_get_matrix(m_cr, &m);
    return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
}

void BitmapContext::setCTM(const AffineTransform& t)
{
    if (t.determinant() == 0)
        return;
    cairo_matrix_t m = detail::toCairo(t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_set_matrix(m_cr, &m);
}

void BitmapContext::clipToRect(const Rect& r)
{
    const AffineTransform m = ctm();
    const Rect device = m.apply(r);
    auto whole = [](double v) { return std::isfinite(v) && v == std::round(v); };
    if (m.b != 0 || m.c != 0 || !whole(device.minX()) || !whole(device.minY()) || !whole(device.maxX()) || !whole(device.maxY()))
        state().clipIsPixelRect = false;
    cairo_new_path(m_cr);
    if (validRect(r))
        cairo_rectangle(m_cr, r.x(), r.y(), r.width(), r.height());
    cairo_clip(m_cr); // an empty path clips everything away
}

void BitmapContext::clipToMask(const Rect& rect, const ImageMaskRef& mask)
{
    clipToRect(rect);
    if (!mask || !validRect(rect))
        return;
    // Device space -> mask samples, fixed now so later transform changes do not move the mask.
    cairo_matrix_t userToMask = stretchMatrix(rect, mask->width(), mask->height());
    cairo_matrix_t deviceToUser;
    cairo_get_matrix(m_cr, &deviceToUser);
    cairo_matrix_invert(&deviceToUser);
    cairo_matrix_t deviceToMask;
    cairo_matrix_multiply(&deviceToMask, &deviceToUser, &userToMask);
    MaskClip clip{mask, {deviceToMask.xx, deviceToMask.yx, deviceToMask.xy, deviceToMask.yy, deviceToMask.x0, deviceToMask.y0}};
    state().masks.push_back(std::move(clip));
}

Rect BitmapContext::clipBoundingBox() const
{
    double x0, y0, x1, y1;
    cairo_clip_extents(m_cr, &x0, &y0, &x1, &y1);
    return {x0, y0, x1 - x0, y1 - y0};
}

void BitmapContext::setFillColor(const Color& c) { state().fill = c; }
void BitmapContext::setStrokeColor(const Color& c) { state().stroke = c; }
void BitmapContext::setLineWidth(double w) { state().lineWidth = w; }
void BitmapContext::setAlpha(double alpha) { state().alpha = std::clamp(alpha, 0.0, 1.0); }
void BitmapContext::setBlendMode(BlendMode mode) { state().blend = mode; }
void BitmapContext::setImageInterpolation(bool enabled) { state().interpolate = enabled; }
void BitmapContext::setLineCap(LineCap cap) { state().lineCap = cap; }
void BitmapContext::setLineJoin(LineJoin join) { state().lineJoin = join; }

void BitmapContext::applySource(const Color& c)
{
    const State& s = state();
    if (s.blend == BlendMode::Clear)
        cairo_set_source_rgba(m_cr, 0, 0, 0, 1);
    else
        cairo_set_source_rgba(m_cr, c.red, c.green, c.blue, c.alpha * s.alpha);
}

// Runs `draw` (which paints with the current source and operator) through the state's blend
// mode and mask clips. Without masks it draws straight into the bitmap; with masks the drawing is
// rendered into a group (the size of the clip) and then laid down through each mask in turn.
template<typename Draw>
void BitmapContext::drawWithState(Draw&& draw)
{
    const State& s = state();
    cairo_operator_t op = cairoOperator(s.blend);
    if (s.masks.empty()) {
        cairo_set_operator(m_cr, op);
        draw();
        cairo_set_operator(m_cr, CAIRO_OPERATOR_OVER);
        return;
    }
    cairo_push_group(m_cr);
    cairo_set_operator(m_cr, CAIRO_OPERATOR_OVER);
    draw();
    for (std::size_t i = 0; i < s.masks.size(); ++i) {
        cairo_pop_group_to_source(m_cr);
        bool last = i + 1 == s.masks.size();
        if (!last)
            cairo_push_group(m_cr);
        const MaskClip& clip = s.masks[i];
        detail::PatternPtr pattern(cairo_pattern_create_for_surface(clip.mask->coverageSurface()));
        cairo_matrix_t m = detail::toCairo(clip.matrix[0], clip.matrix[1], clip.matrix[2], clip.matrix[3], clip.matrix[4], clip.matrix[5]);
        cairo_pattern_set_matrix(pattern.get(), &m);
        cairo_pattern_set_filter(pattern.get(), clip.mask->interpolate() ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
        cairo_save(m_cr);
        cairo_identity_matrix(m_cr);
        cairo_set_operator(m_cr, last ? op : CAIRO_OPERATOR_OVER);
        cairo_mask(m_cr, pattern.get());
        cairo_restore(m_cr);
    }
    cairo_set_operator(m_cr, CAIRO_OPERATOR_OVER);
}

void BitmapContext::fillRect(const Rect& r)
{
    if (!validRect(r))
        return;
    drawWithState([&] {
        applySource(state().fill);
        cairo_rectangle(m_cr, r.x(), r.y(), r.width(), r.height());
        cairo_fill(m_cr);
    });
}

void BitmapContext::fillEllipse(const Rect& r)
{
    if (!validRect(r))
        return;
    drawWithState([&] {
        applySource(state().fill);
        cairo_save(m_cr);
        cairo_translate(m_cr, r.midX(), r.midY());
        cairo_scale(m_cr, r.width() / 2, r.height() / 2);
        cairo_arc(m_cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(m_cr);
        cairo_fill(m_cr);
    });
}

void BitmapContext::clearRect(const Rect& r)
{
    if (!validRect(r))
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
    if (!validRect(r))
        return;
    drawWithState([&] {
        applySource(state().stroke);
        cairo_set_line_width(m_cr, state().lineWidth);
        cairo_rectangle(m_cr, r.x(), r.y(), r.width(), r.height());
        cairo_stroke(m_cr);
    });
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
    drawWithState([&] {
        applySource(state().stroke);
        cairo_set_line_width(m_cr, state().lineWidth);
        for (std::size_t i = 0; i + 1 < count; i += 2) {
            cairo_move_to(m_cr, points[i].x, points[i].y);
            cairo_line_to(m_cr, points[i + 1].x, points[i + 1].y);
        }
        cairo_stroke(m_cr);
    });
}

namespace {

// Paints `surface` stretched over `r` (edges kept sharp), at `alpha`.
void paintSurface(cairo_t* cr, cairo_surface_t* surface, int w, int h, const Rect& r, double alpha, bool interpolate,
                  bool tiled)
{
    detail::PatternPtr pattern(cairo_pattern_create_for_surface(surface));
    cairo_matrix_t m = stretchMatrix(r, w, h);
    cairo_pattern_set_matrix(pattern.get(), &m);
    bool identity = m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0;
    cairo_pattern_set_filter(pattern.get(), identity ? CAIRO_FILTER_NEAREST : imageFilter(interpolate));
    cairo_pattern_set_extend(pattern.get(), tiled ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
    cairo_set_source(cr, pattern.get());
    cairo_save(cr);
    if (!tiled) {
        cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
        cairo_clip(cr);
    }
    if (alpha >= 1.0)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

} // namespace

void BitmapContext::drawImage(const Rect& r, const Image& image)
{
    if (!validRect(r))
        return;
    drawWithState([&] { paintSurface(m_cr, image.cairoSurface(), image.width(), image.height(), r, state().alpha, state().interpolate, false); });
}

void BitmapContext::drawTiledImage(const Rect& firstTile, const Image& image)
{
    if (!validRect(firstTile))
        return;
    drawWithState([&] { paintSurface(m_cr, image.cairoSurface(), image.width(), image.height(), firstTile, state().alpha, state().interpolate, true); });
}

void BitmapContext::drawBitmap(const Rect& r, const BitmapContext& other)
{
    if (!validRect(r))
        return;
    cairo_surface_flush(other.m_surface);
    drawWithState([&] { paintSurface(m_cr, other.m_surface, other.m_width, other.m_height, r, state().alpha, state().interpolate, false); });
}

void BitmapContext::drawLayer(const Rect& r, const Layer& layer) { drawBitmap(r, layer.context()); }

void BitmapContext::drawLayer(Point origin, const Layer& layer)
{
    drawBitmap(Rect(origin, layer.size()), layer.context());
}

void BitmapContext::fillMask(const ImageMaskRef& mask, const AffineTransform& maskToUser, const Color& color,
                             BlendMode mode)
{
    if (!mask || maskToUser.determinant() == 0 || !std::isfinite(maskToUser.determinant()))
        return;
    if (mode != BlendMode::Clear)
        mode = BlendMode::Normal;
    if (fillMaskWithKernel(*mask, maskToUser, color, mode))
        return;
    GStateSaver saver(*this);
    concat(maskToUser);
    clipToMask(Rect(0, 0, 1, 1), mask);
    if (mode == BlendMode::Clear) {
        clearRect(Rect(0, 0, 1, 1));
        return;
    }
    setBlendMode(BlendMode::Normal);
    setFillColor(color);
    fillRect(Rect(0, 0, 1, 1));
}

// False when the state holds something the kernel does not handle.
bool BitmapContext::fillMaskWithKernel(const ImageMask& mask, const AffineTransform& maskToUser, const Color& color,
                                       BlendMode mode)
{
    const State& s = state();
    // Inside a transparency layer the drawing goes to the layer's group, not to the bitmap.
    if (!s.masks.empty() || !s.clipIsPixelRect || mask.interpolate() || !m_layerAlphas.empty())
        return false;
    // Every clip was a whole-pixel rectangle, so the clip is its device-space extents.
    cairo_matrix_t user;
    cairo_get_matrix(m_cr, &user);
    cairo_identity_matrix(m_cr);
    double x0, y0, x1, y1;
    cairo_clip_extents(m_cr, &x0, &y0, &x1, &y1);
    cairo_set_matrix(m_cr, &user);
    const IntRect clip = pixelBounds(Rect(x0, y0, x1 - x0, y1 - y0), m_width, m_height);
    if (clip.isEmpty())
        return true;

    Color source = color;
    source.alpha *= static_cast<float>(s.alpha);
    cairo_surface_flush(m_surface);
    MaskFillTarget target{reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(m_surface)), bytesPerRow(),
                          m_width, m_height};
    const MaskFillResult result = gfx::fillMask(target, clip, mask, maskToUser.concat(ctm()), source,
                                                mode == BlendMode::Clear ? MaskFillMode::Clear : MaskFillMode::SourceOver);
    if (!result.touched.isEmpty())
        cairo_surface_mark_dirty_rectangle(m_surface, result.touched.x, result.touched.y, result.touched.width,
                                           result.touched.height);
    return result.handled;
}

void BitmapContext::appendPath(const Path& path)
{
    cairo_new_path(m_cr);
    for (const Path::Element& e : path.elements()) {
        switch (e.op) {
        case Path::Op::MoveTo: cairo_move_to(m_cr, e.points[0].x, e.points[0].y); break;
        case Path::Op::LineTo: cairo_line_to(m_cr, e.points[0].x, e.points[0].y); break;
        case Path::Op::CurveTo:
            cairo_curve_to(m_cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x, e.points[2].y);
            break;
        case Path::Op::Close: cairo_close_path(m_cr); break;
        }
    }
}

namespace {
cairo_fill_rule_t cairoFillRule(FillRule rule)
{
    return rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
}
bool finitePath(const Path& path)
{
    for (const Path::Element& e : path.elements())
        for (const Point& p : e.points)
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                return false;
    return true;
}
} // namespace

void BitmapContext::applyStroke()
{
    const State& s = state();
    cairo_set_line_width(m_cr, s.lineWidth);
    cairo_set_line_cap(m_cr, s.lineCap == LineCap::Round    ? CAIRO_LINE_CAP_ROUND
                             : s.lineCap == LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                            : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(m_cr, s.lineJoin == LineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                              : s.lineJoin == LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                              : CAIRO_LINE_JOIN_MITER);
}

void BitmapContext::clipToPath(const Path& path, FillRule rule)
{
    state().clipIsPixelRect = false;
    if (!finitePath(path)) {
        cairo_new_path(m_cr);
        cairo_clip(m_cr);
        return;
    }
    appendPath(path);
    cairo_set_fill_rule(m_cr, cairoFillRule(rule));
    cairo_clip(m_cr);
    cairo_set_fill_rule(m_cr, CAIRO_FILL_RULE_WINDING);
}

void BitmapContext::fillPath(const Path& path, FillRule rule)
{
    if (path.isEmpty() || !finitePath(path))
        return;
    drawWithState([&] {
        applySource(state().fill);
        appendPath(path);
        cairo_set_fill_rule(m_cr, cairoFillRule(rule));
        cairo_fill(m_cr);
        cairo_set_fill_rule(m_cr, CAIRO_FILL_RULE_WINDING);
    });
}

void BitmapContext::strokePath(const Path& path)
{
    if (path.isEmpty() || !finitePath(path))
        return;
    drawWithState([&] {
        applySource(state().stroke);
        applyStroke();
        appendPath(path);
        cairo_stroke(m_cr);
    });
}

namespace {
void addStops(cairo_pattern_t* pattern, const Gradient& gradient, double alpha)
{
    for (const GradientStop& stop : gradient.stops())
        cairo_pattern_add_color_stop_rgba(pattern, std::clamp(stop.offset, 0.0, 1.0), stop.color.red,
                                          stop.color.green, stop.color.blue, stop.color.alpha * alpha);
}
} // namespace

void BitmapContext::drawLinearGradient(const Gradient& gradient, Point start, Point end)
{
    if (gradient.stops().empty())
        return;
    detail::PatternPtr pattern(cairo_pattern_create_linear(start.x, start.y, end.x, end.y));
    drawWithState([&] {
        addStops(pattern.get(), gradient, state().blend == BlendMode::Clear ? 1 : state().alpha);
        cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
        cairo_set_source(m_cr, pattern.get());
        cairo_paint(m_cr);
    });
}

void BitmapContext::drawRadialGradient(const Gradient& gradient, Point startCenter, double startRadius,
                                       Point endCenter, double endRadius)
{
    if (gradient.stops().empty() || startRadius < 0 || endRadius < 0)
        return;
    detail::PatternPtr pattern(
        cairo_pattern_create_radial(startCenter.x, startCenter.y, startRadius, endCenter.x, endCenter.y, endRadius));
    drawWithState([&] {
        addStops(pattern.get(), gradient, state().blend == BlendMode::Clear ? 1 : state().alpha);
        cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
        cairo_set_source(m_cr, pattern.get());
        cairo_paint(m_cr);
    });
}

void BitmapContext::beginTransparencyLayer(double alpha)
{
    // Inside the layer everything draws plainly; the alpha, blend mode and mask clips of the
    // begin apply once, when the layer is laid down.
    State inner = state();
    inner.alpha = 1;
    inner.blend = BlendMode::Normal;
    inner.masks.clear();
    m_states.push_back(std::move(inner));
    m_layerAlphas.push_back(std::clamp(alpha, 0.0, 1.0));
    cairo_push_group(m_cr);
}

void BitmapContext::endTransparencyLayer()
{
    KANVARO_ASSERT(!m_layerAlphas.empty());
    detail::PatternPtr group(cairo_pop_group(m_cr));
    const double alpha = m_layerAlphas.back();
    m_layerAlphas.pop_back();
    m_states.pop_back();
    drawWithState([&] {
        cairo_set_source(m_cr, group.get());
        cairo_paint_with_alpha(m_cr, alpha * state().alpha);
    });
}

ImageRef BitmapContext::makeImage() const
{
    cairo_surface_flush(m_surface);
    const int stride = bytesPerRow();
    const auto* src = cairo_image_surface_get_data(m_surface);
    auto copy = std::make_shared<std::vector<std::uint8_t>>(src, src + static_cast<std::size_t>(stride) * m_height);
    return Image::create(m_width, m_height, stride, Image::Alpha::Premultiplied, std::move(copy));
}

const std::uint8_t* BitmapContext::constData() const
{
    cairo_surface_flush(m_surface);
    return cairo_image_surface_get_data(m_surface);
}

std::uint32_t BitmapContext::pixelAt(int x, int y) const
{
    return reinterpret_cast<const std::uint32_t*>(constData() + static_cast<std::ptrdiff_t>(y) * bytesPerRow())[x];
}

Color BitmapContext::colorAt(int x, int y) const
{
    std::uint32_t p = unpremultiply(pixelAt(x, y));
    return {redOf(p) / 255.0f, greenOf(p) / 255.0f, blueOf(p) / 255.0f, alphaOf(p) / 255.0f};
}

BitmapContext::PixelAccess::PixelAccess(BitmapContext& ctx)
    : m_ctx(ctx)
{
    cairo_surface_flush(ctx.m_surface);
    m_data = cairo_image_surface_get_data(ctx.m_surface);
    m_stride = cairo_image_surface_get_stride(ctx.m_surface);
}

BitmapContext::PixelAccess::~PixelAccess() { cairo_surface_mark_dirty(m_ctx.m_surface); }

} // namespace gfx
