// The canvas's part of the painting archive: its size, paper colour, texture name and the
// painting as a PNG of the composite without paper and texture. The stroke layers are merged
// into that image, so a reopened canvas has nothing to undo.
#include "Canvas.h"

#include <cstring>
#include <optional>
#include <span>

#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Log.h"
#include "Graphics/PixelFormat.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"
#include "Journal.h"

namespace {

// Canvases are at most 1024 on a side; this leaves room without letting a file ask for gigabytes.
constexpr int kMaxArchivedSide = 8192;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// The stored picture's first row is the canvas's top row and its alpha is straight: it is
// decoded straight into the painting bitmap, premultiplied as each row arrives, so opening a
// painting needs no picture-sized buffer. A picture of another size is refused before any
// pixel is written.
fnd::Status decodePainting(std::span<const std::uint8_t> png, gfx::BitmapContext& painting)
{
    gfx::BitmapContext::PixelAccess access(painting);
    const imageio::PixelRows rows{access.data(), painting.width(), painting.height(),
                                  static_cast<std::size_t>(access.bytesPerRow())};
    return imageio::decodePngInto(png.data(), png.size(), rows);
}

} // namespace

std::unique_ptr<Canvas> Canvas::copyForArchive() const
{
    // Only the painting bitmap: stroke layers would cost the main thread two more surfaces.
    std::unique_ptr<Canvas> copy(new Canvas(m_width, m_height));
    copy->m_paintingContext = gfx::BitmapContext::create(m_width, m_height);
    if (!copy->m_paintingContext)
        return nullptr;
    // Strokes composited over transparent paint land unchanged, so the copy's painting bitmap is
    // the very image encodeWithCoder would store.
    if (!drawArchivedComposite(*copy->m_paintingContext))
        return nullptr;
    copy->m_backgroundColor = m_backgroundColor;
    copy->m_textureName = m_textureName;
    if (const auto journal = journalToArchive())
        copy->m_journal = std::make_shared<Journal>(*journal); // a few hundred kilobytes at most
    return copy;
}

std::shared_ptr<const Journal> Canvas::journalToArchive() const
{
    if (m_journal || !m_journalSoFar)
        return m_journal;
    return m_journalSoFar();
}

// The composite without paper and texture; while an automatic painting runs, as its stop would
// leave it (mergeCurrentStrokes), which is what its journal so far replays to. False when out of
// memory.
bool Canvas::drawArchivedComposite(gfx::BitmapContext& ctx) const
{
    if (!m_journalSoFar || !m_prevStrokeLayer || !m_curStrokeLayer) {
        drawPlainComposite(ctx, false);
        return true;
    }
    auto merged = gfx::Layer::create(*m_paintingContext, {static_cast<double>(m_width), static_cast<double>(m_height)});
    if (!merged)
        return false;
    const gfx::Rect all = bounds();
    gfx::BitmapContext& strokes = merged->context();
    strokes.drawLayer(all, *m_prevStrokeLayer);
    strokes.setAlpha(m_curStrokeOpacity);
    strokes.drawLayer(all, *m_curStrokeLayer);
    gfx::GStateSaver saver(ctx);
    ctx.drawBitmap(all, *m_paintingContext);
    ctx.setAlpha(m_prevStrokeOpacity);
    ctx.drawLayer(all, *merged);
    return true;
}

fnd::Status Canvas::setPaintingFromPng(std::span<const std::uint8_t> png)
{
    fnd::Status decoded = decodePainting(png, *m_paintingContext);
    invalidateCompositeCache();
    return decoded;
}

bool Canvas::commitAsReopened()
{
    // The very conversions a save and a reopen make: encode as the archive does, decode as
    // opening does.
    auto image = createThumbnail(std::max(m_width, m_height), false);
    if (!image)
        return false;
    auto png = imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(), true});
    image.reset();
    if (!png || !decodePainting(png.value(), *m_paintingContext))
        return false;
    m_paintingContext->setAlpha(1); // a reopened canvas's bitmap is new
    m_prevStrokeLayer->context().clearRect(bounds());
    m_curStrokeLayer->context().clearRect(bounds());
    m_prevStrokeOpacity = kInitialStrokeOpacity;
    m_curStrokeOpacity = kInitialStrokeOpacity;
    invalidateCompositeCache();
    return true;
}

void Canvas::encodeWithCoder(fnd::KeyedArchiver& coder) const
{
    coder.encodeInt32("width", m_width);
    coder.encodeInt32("height", m_height);
    coder.encodeColor("backgroundColor", {m_backgroundColor.red, m_backgroundColor.green, m_backgroundColor.blue,
                                          m_backgroundColor.alpha});
    coder.encodeString("textureName", m_textureName);
    // Without its painting the archive could not be opened again: the whole archive fails, and
    // the file it would have replaced stays.
    gfx::ImageRef image;
    if (auto ctx = gfx::BitmapContext::create(m_width, m_height); ctx && drawArchivedComposite(*ctx))
        image = ctx->makeImage();
    if (!image) {
        coder.failWith(fnd::outOfMemory("Canvas.paintingData: cannot make the painting's image"));
        return;
    }
    auto png = imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(), true});
    if (!png) {
        coder.failWith(png.failure().within("Canvas.paintingData"));
        return;
    }
    coder.encodeData("paintingData", std::move(png).value());
}

std::unique_ptr<Canvas> Canvas::initWithCoder(fnd::KeyedUnarchiver& coder)
{
    int width = coder.decodeInt32("width");
    int height = coder.decodeInt32("height");
    auto color = coder.decodeColor("backgroundColor");
    auto texture = coder.decodeString("textureName");
    auto data = coder.decodeData("paintingData");
    if (coder.failed())
        return nullptr;
    if (width <= 0 || height <= 0 || width > kMaxArchivedSide || height > kMaxArchivedSide) {
        coder.failWithReason("Canvas: impossible size " + std::to_string(width) + " x " + std::to_string(height));
        return nullptr;
    }
    if (!data || data->size() < sizeof kPngSignature
        || std::memcmp(data->data(), kPngSignature, sizeof kPngSignature) != 0) {
        coder.failWithReason("Canvas.paintingData: not a PNG image");
        return nullptr;
    }
    // The header's size is checked before the canvas's bitmaps are allocated for it.
    auto declared = imageio::readPngSize(data->data(), data->size());
    if (!declared) {
        coder.failWithReason("Canvas.paintingData: " + declared.error());
        return nullptr;
    }
    if (declared->width != width || declared->height != height) {
        coder.failWithReason("Canvas.paintingData: a " + std::to_string(declared->width) + " x "
                             + std::to_string(declared->height) + " picture for a " + std::to_string(width) + " x "
                             + std::to_string(height) + " canvas");
        return nullptr;
    }
    auto canvas = initWithSize(width, height);
    if (!canvas) {
        coder.failWithReason("Canvas: out of memory");
        return nullptr;
    }
    if (color)
        canvas->m_backgroundColor = {color->r, color->g, color->b, color->a};
    if (auto decoded = decodePainting(*data, *canvas->m_paintingContext); !decoded) {
        coder.failWithReason("Canvas.paintingData: " + decoded.error());
        return nullptr;
    }
    canvas->invalidateCompositeCache();
    canvas->setTextureName(texture);
    return canvas;
}
