#include "Toolkit/ImageView.h"

#include <algorithm>
#include <cmath>

namespace ui {

gfx::Rect imageRectForContentMode(ContentMode mode, const gfx::Rect& bounds, gfx::Size imageSize)
{
    switch (mode) {
    case ContentMode::ScaleToFill: return bounds;
    case ContentMode::ScaleAspectFit:
    case ContentMode::ScaleAspectFill: {
        if (!(imageSize.width > 0 && imageSize.height > 0))
            return {};
        double across = bounds.width() / imageSize.width, down = bounds.height() / imageSize.height;
        double factor = mode == ContentMode::ScaleAspectFit ? std::min(across, down) : std::max(across, down);
        gfx::Size fitted{imageSize.width * factor, imageSize.height * factor};
        return {bounds.midX() - fitted.width / 2, bounds.midY() - fitted.height / 2, fitted.width, fitted.height};
    }
    case ContentMode::Center: break;
    }
    return {bounds.midX() - imageSize.width / 2, bounds.midY() - imageSize.height / 2, imageSize.width,
            imageSize.height};
}

void drawImageAsset(gfx::BitmapContext& context, const gfx::Rect& rect, const ImageAsset& image)
{
    const ImageAsset& current = image.forCurrentScale();
    if (current.pixels && !rect.isEmpty())
        context.drawImage(rect, *current.pixels);
}

ImageView::ImageView(const gfx::Rect& frame) : View(frame) { setUserInteractionEnabled(false); }

ImageView::ImageView(ImageAssetRef image) : ImageView(gfx::Rect({0, 0}, image ? image->pointSize : gfx::Size{}))
{
    m_image = std::move(image);
}

void ImageView::setImage(ImageAssetRef image)
{
    if (image == m_image)
        return;
    m_image = std::move(image);
    m_shown.reset();
    setNeedsDisplay();
}

void ImageView::setContentMode(ContentMode mode)
{
    m_contentMode = mode;
    setNeedsDisplay();
}

// Shrinking a picture several times over costs the whole picture on every frame (a 24-megapixel
// photo, about 80 ms): one with more than twice the pixels it covers along each side is reduced
// once to the pixels it covers at the window's scale and zoom, and again only when those change.
const gfx::Image* ImageView::reducedImage(const gfx::BitmapContext& context, const gfx::Rect& placed)
{
    const gfx::ImageRef& pixels = m_image->forCurrentScale().pixels;
    const gfx::AffineTransform ctm = context.ctm();
    const long width = std::lround(placed.width() * std::hypot(ctm.a, ctm.b));
    const long height = std::lround(placed.height() * std::hypot(ctm.c, ctm.d));
    if (!pixels || width < 1 || height < 1 || pixels->width() <= 2 * width || pixels->height() <= 2 * height) {
        m_shown.reset();
        return nullptr;
    }
    if (!m_shown || m_shownFrom.lock() != pixels || m_shown->width() != width || m_shown->height() != height) {
        m_shown = pixels->scaledCopy(static_cast<int>(width), static_cast<int>(height));
        m_shownFrom = pixels;
    }
    return m_shown.get();
}

void ImageView::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    if (!m_image)
        return;
    gfx::Rect placed = imageRectForContentMode(m_contentMode, bounds(), m_image->pointSize);
    if (placed.isEmpty())
        return;
    gfx::GStateSaver saver(context);
    context.clipToRect(bounds());
    if (const gfx::Image* reduced = reducedImage(context, placed))
        context.drawImage(placed, *reduced);
    else
        drawImageAsset(context, placed, *m_image);
}

} // namespace ui
