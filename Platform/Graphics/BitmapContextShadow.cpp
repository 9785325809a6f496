// BitmapContext: shadows. What is drawn is first rendered on its own (only the region that can
// show), its coverage is blurred into an A8 picture, and the two are laid down shadow first.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Graphics/BitmapContext.h"
#include "Graphics/BitmapContextNative.h"

namespace gfx {

namespace {

// One pass of a centred box blur of radius r over `count` samples `stride` apart, through `line`.
void boxBlurLine(std::uint8_t* samples, int count, int stride, int r, std::vector<int>& line)
{
    line.assign(static_cast<std::size_t>(count), 0);
    for (int i = 0; i < count; ++i)
        line[static_cast<std::size_t>(i)] = samples[static_cast<std::ptrdiff_t>(i) * stride];
    const int window = 2 * r + 1;
    int sum = 0;
    for (int i = 0; i < std::min(r, count); ++i)
        sum += line[static_cast<std::size_t>(i)];
    for (int i = 0; i < count; ++i) {
        if (i + r < count)
            sum += line[static_cast<std::size_t>(i + r)];
        if (i - r - 1 >= 0)
            sum -= line[static_cast<std::size_t>(i - r - 1)];
        samples[static_cast<std::ptrdiff_t>(i) * stride] = static_cast<std::uint8_t>((sum + window / 2) / window);
    }
}

// Three box blurs each way: close to a gaussian of the given deviation (in pixels).
void blurA8(cairo_surface_t* mask, double sigma)
{
    // The box size that makes three passes match the gaussian.
    const int box = static_cast<int>(std::floor(sigma * 3 * std::sqrt(2 * M_PI) / 4 + 0.5));
    const int r = box / 2;
    if (r < 1)
        return;
    cairo_surface_flush(mask);
    std::uint8_t* data = cairo_image_surface_get_data(mask);
    const int w = cairo_image_surface_get_width(mask), h = cairo_image_surface_get_height(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    std::vector<int> line;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            boxBlurLine(data + static_cast<std::ptrdiff_t>(y) * stride, w, 1, r, line);
        for (int x = 0; x < w; ++x)
            boxBlurLine(data + x, h, stride, r, line);
    }
    cairo_surface_mark_dirty(mask);
}

// Pixels a blur of deviation sigma spreads coverage by (three passes of radius r).
int blurReach(double sigma)
{
    const int box = static_cast<int>(std::floor(sigma * 3 * std::sqrt(2 * M_PI) / 4 + 0.5));
    return 3 * (box / 2);
}

// An A8 copy of the coverage of `shape` (an ARGB32 image), with `margin` clear pixels around.
detail::SurfacePtr coverageWithMargin(cairo_surface_t* shape, int margin)
{
    cairo_surface_flush(shape);
    const int w = cairo_image_surface_get_width(shape), h = cairo_image_surface_get_height(shape);
    detail::SurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, w + 2 * margin, h + 2 * margin));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    const std::uint8_t* src = cairo_image_surface_get_data(shape);
    const int srcStride = cairo_image_surface_get_stride(shape);
    std::uint8_t* dst = cairo_image_surface_get_data(mask.get());
    const int dstStride = cairo_image_surface_get_stride(mask.get());
    for (int y = 0; y < h; ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(src + static_cast<std::ptrdiff_t>(y) * srcStride);
        std::uint8_t* to = dst + static_cast<std::ptrdiff_t>(y + margin) * dstStride + margin;
        for (int x = 0; x < w; ++x)
            to[x] = static_cast<std::uint8_t>(from[x] >> 24);
    }
    cairo_surface_mark_dirty(mask.get());
    return mask;
}

// The device-space box around a user-space rectangle.
Rect deviceBounds(cairo_t* cr, const Rect& r)
{
    double xs[4] = {r.minX(), r.maxX(), r.minX(), r.maxX()}, ys[4] = {r.minY(), r.minY(), r.maxY(), r.maxY()};
    for (int i = 0; i < 4; ++i)
        cairo_user_to_device(cr, &xs[i], &ys[i]);
    const double x0 = *std::min_element(xs, xs + 4), x1 = *std::max_element(xs, xs + 4);
    const double y0 = *std::min_element(ys, ys + 4), y1 = *std::max_element(ys, ys + 4);
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect wholePixelsAround(const Rect& r)
{
    const double x0 = std::floor(r.minX()), y0 = std::floor(r.minY());
    return {x0, y0, std::ceil(r.maxX()) - x0, std::ceil(r.maxY()) - y0};
}

// A transparent ARGB32 picture of the device-space `region`, with a context drawing into it in the
// same device coordinates (through a device offset) and the same user space as `like`.
struct Scratch {
    detail::SurfacePtr surface;
    detail::ContextPtr context;
};
Scratch scratchFor(cairo_t* like, const Rect& region)
{
    Scratch s;
    s.surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(region.width()),
                                               static_cast<int>(region.height())));
    if (cairo_surface_status(s.surface.get()) != CAIRO_STATUS_SUCCESS)
        return {};
    cairo_surface_set_device_offset(s.surface.get(), -region.x(), -region.y());
    s.context.reset(cairo_create(s.surface.get()));
    cairo_matrix_t user;
    cairo_get_matrix(like, &user);
    cairo_set_matrix(s.context.get(), &user);
    return s;
}

} // namespace

void BitmapContext::drawWithShadow(const Rect& userBounds, DrawStep draw)
{
    const State& s = state();
    cairo_t* cr = m_native->cr();
    // Offset and blur are in user space: they grow with the transform's scale.
    double dx = s.shadowOffset.width, dy = s.shadowOffset.height;
    cairo_user_to_device_distance(cr, &dx, &dy);
    const double sigma = s.shadowBlur * std::sqrt(std::abs(ctm().determinant())) / 2;
    const int margin = blurReach(sigma) + 1;

    // Only what can show: the shape inside the clip, or shadow cast into the clip from outside it.
    const Rect clip = detail::deviceClipExtents(cr);
    const Rect reachable = clip.insetBy(-(std::abs(dx) + margin), -(std::abs(dy) + margin));
    const Rect region = wholePixelsAround(deviceBounds(cr, userBounds).intersected(reachable));
    if (region.isEmpty() || !std::isfinite(region.width()) || !std::isfinite(region.height()))
        return;
    // The shape alone, clip set aside: a shape outside the clip may cast its shadow into it.
    Scratch scratch = scratchFor(cr, region);
    if (!scratch.context)
        return;
    m_native->context.swap(scratch.context);
    draw();
    m_native->context.swap(scratch.context);
    scratch.context.reset();
    const detail::SurfacePtr coverage = coverageWithMargin(scratch.surface.get(), margin);
    if (!coverage)
        return;
    blurA8(coverage.get(), sigma);
    const double originX = region.x() - margin + dx, originY = region.y() - margin + dy;
    // Laid down like a group: pattern space is device space, the offset picks the pixels.
    detail::PatternPtr shape(cairo_pattern_create_for_surface(scratch.surface.get()));
    cairo_matrix_t user;
    cairo_get_matrix(cr, &user);
    cairo_pattern_set_matrix(shape.get(), &user);

    const Color& c = s.shadowColor;
    const bool ownGroup = s.blend != BlendMode::Normal; // shadow and shape meet the bitmap as one
    drawThroughMasks(step([&] {
        if (ownGroup) {
            cairo_push_group(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        }
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
        cairo_mask_surface(cr, coverage.get(), originX, originY);
        cairo_restore(cr);
        cairo_set_source(cr, shape.get());
        cairo_paint(cr);
        if (ownGroup) {
            cairo_pop_group_to_source(cr);
            cairo_paint(cr);
        }
    }));
}

} // namespace gfx
