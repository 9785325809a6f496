// BitmapContext: reading and writing pixels directly, and the bridge to the dab kernel.
#include <cmath>
#include <cstring>

#include "Graphics/BitmapContext.h"
#include "Graphics/BitmapContextNative.h"
#include "Graphics/MaskFill.h"
#include "Graphics/PixelFormat.h"

namespace gfx {

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

// False when the state holds something the kernel does not handle. The kernel writes straight
// into the bitmap, so it only takes drawing that would land there unchanged: not inside a
// transparency layer (that drawing belongs to the layer's group), not under a shadow.
bool BitmapContext::fillMaskWithKernel(const ImageMask& mask, const AffineTransform& maskToUser, const Color& color,
                                       BlendMode mode)
{
    const State& s = state();
    if (!s.masks.empty() || !s.clipIsPixelRect || mask.interpolate() || !m_layerAlphas.empty() || hasShadow())
        return false;
    cairo_t* cr = m_native->cr();
    if (cairo_get_target(cr) != cairo_get_group_target(cr))
        return false; // a group pushed behind our back: the bitmap is not what is drawn into
    // Every clip was a whole-pixel rectangle, so the clip is its device-space extents.
    const IntRect clip = pixelBounds(detail::deviceClipExtents(cr), m_width, m_height);
    if (clip.isEmpty())
        return true;

    Color source = color;
    source.alpha *= static_cast<float>(s.alpha);
    cairo_surface_t* surface = m_native->target();
    cairo_surface_flush(surface);
    MaskFillTarget target{reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface)), bytesPerRow(),
                          m_width, m_height};
    const MaskFillResult result =
        gfx::fillMask(target, clip, mask, maskToUser.concat(ctm()), source,
                      mode == BlendMode::Clear ? MaskFillMode::Clear : MaskFillMode::SourceOver);
    if (!result.touched.isEmpty())
        cairo_surface_mark_dirty_rectangle(surface, result.touched.x, result.touched.y, result.touched.width,
                                           result.touched.height);
    return result.handled;
}

ImageRef BitmapContext::makeImage() const
{
    const std::uint8_t* src = constData();
    const int stride = bytesPerRow();
    auto copy = std::make_shared<std::vector<std::uint8_t>>(src, src + static_cast<std::size_t>(stride) * m_height);
    return Image::create(m_width, m_height, stride, Image::Alpha::Premultiplied, std::move(copy));
}

const std::uint8_t* BitmapContext::constData() const
{
    cairo_surface_flush(m_native->target());
    return cairo_image_surface_get_data(m_native->target());
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

BitmapContext::PixelAccess::PixelAccess(BitmapContext& ctx) : m_ctx(ctx)
{
    cairo_surface_t* surface = ctx.m_native->target();
    cairo_surface_flush(surface);
    m_data = cairo_image_surface_get_data(surface);
    m_stride = cairo_image_surface_get_stride(surface);
}

BitmapContext::PixelAccess::~PixelAccess() { cairo_surface_mark_dirty(m_ctx.m_native->target()); }

} // namespace gfx
