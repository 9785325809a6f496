#include "Toolkit/ImageView.h"

#include <algorithm>

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
    setNeedsDisplay();
}

void ImageView::setContentMode(ContentMode mode)
{
    m_contentMode = mode;
    setNeedsDisplay();
}

void ImageView::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    if (!m_image)
        return;
    gfx::Rect placed = imageRectForContentMode(m_contentMode, bounds(), m_image->pointSize);
    gfx::GStateSaver saver(context);
    context.clipToRect(bounds());
    drawImageAsset(context, placed, *m_image);
}

} // namespace ui
