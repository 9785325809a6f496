#include "Toolkit/ImageView.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

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

namespace {
// Where a picture of `length` pixels (`scale` pixels a point) is cut for caps of `first` and
// `last` points, and where the pieces go along `from`..`to` (points); caps larger than half of
// the picture or of the place keep what fits.
struct Cuts {
    int pixels[4];
    double points[4];
};
Cuts cutsAlong(int length, double scale, double first, double last, double from, double to)
{
    const double room = std::max(0.0, to - from);
    const double capFirst = std::clamp(first, 0.0, std::min(length / scale, room) / 2);
    const double capLast = std::clamp(last, 0.0, std::min(length / scale, room) / 2);
    const int pixelsFirst = static_cast<int>(std::lround(capFirst * scale));
    const int pixelsLast = static_cast<int>(std::lround(capLast * scale));
    return {{0, pixelsFirst, length - pixelsLast, length}, {from, from + capFirst, to - capLast, to}};
}
} // namespace

namespace {
// The pixels (x, y, w, h) of `picture` as an image of their own.
gfx::ImageRef copyPart(const gfx::Image& picture, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return nullptr;
    const auto rowBytes = static_cast<std::size_t>(w) * 4;
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(rowBytes * static_cast<std::size_t>(h));
    for (int row = 0; row < h; ++row)
        std::memcpy(bytes->data() + rowBytes * static_cast<std::size_t>(row),
                    picture.data() + static_cast<std::size_t>(y + row) * static_cast<std::size_t>(picture.bytesPerRow())
                        + static_cast<std::size_t>(x) * 4,
                    rowBytes);
    return gfx::Image::create(w, h, static_cast<int>(rowBytes), picture.alpha(), std::move(bytes));
}
} // namespace

void drawImageAssetWithCaps(gfx::BitmapContext& context, const gfx::Rect& rect, const ImageAsset& image,
                            const EdgeInsets& caps, CapPieces& cache)
{
    const ImageAsset& current = image.forCurrentScale();
    if (!current.pixels || rect.isEmpty())
        return;
    const gfx::Image& picture = *current.pixels;
    const Cuts across = cutsAlong(picture.width(), current.scale, caps.left, caps.right, rect.minX(), rect.maxX());
    const Cuts down = cutsAlong(picture.height(), current.scale, caps.top, caps.bottom, rect.minY(), rect.maxY());
    // Each piece is an image of its own, so a stretched piece never blends in its neighbour's
    // pixels at its edges. Cut once for a picture and its cuts.
    const std::array<int, 4> cutsX{across.pixels[0], across.pixels[1], across.pixels[2], across.pixels[3]};
    const std::array<int, 4> cutsY{down.pixels[0], down.pixels[1], down.pixels[2], down.pixels[3]};
    if (cache.source != current.pixels || cache.cutsX != cutsX || cache.cutsY != cutsY) {
        cache.source = current.pixels;
        cache.cutsX = cutsX;
        cache.cutsY = cutsY;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                cache.pieces[static_cast<std::size_t>(row * 3 + column)] = copyPart(
                    picture, cutsX[column], cutsY[row], cutsX[column + 1] - cutsX[column], cutsY[row + 1] - cutsY[row]);
    }
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const gfx::ImageRef& piece = cache.pieces[static_cast<std::size_t>(row * 3 + column)];
            const gfx::Rect to{across.points[column], down.points[row],
                               across.points[column + 1] - across.points[column],
                               down.points[row + 1] - down.points[row]};
            if (piece && !to.isEmpty())
                context.drawImage(to, *piece);
        }
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

void ImageView::setCapInsets(const EdgeInsets& caps)
{
    m_capInsets = caps;
    m_capPieces = {};
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
    if (m_contentMode == ContentMode::ScaleToFill && m_capInsets != EdgeInsets{}) {
        drawImageAssetWithCaps(context, bounds(), *m_image, m_capInsets, m_capPieces);
        return;
    }
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
