#include "Canvas.h"

#include "Foundation/Log.h"
#include "Graphics/NamedImages.h"
#include "Graphics/PixelFormat.h"
#include "ImageIO/DecodedImage.h"
#include "Journal.h"

Canvas::Canvas(int width, int height) : m_width(width), m_height(height) {}

std::unique_ptr<Canvas> Canvas::initWithSize(int width, int height)
{
    if (width <= 0 || height <= 0 || width > gfx::kMaxSurfaceSide || height > gfx::kMaxSurfaceSide) {
        fnd::log("cannot make a canvas of " + std::to_string(width) + " x " + std::to_string(height));
        return nullptr;
    }
    std::unique_ptr<Canvas> canvas(new Canvas(width, height));
    if (!canvas->createOffscreenContexts()) {
        fnd::log("out of memory for a canvas of " + std::to_string(width) + " x " + std::to_string(height));
        return nullptr;
    }
    return canvas;
}

std::unique_ptr<Canvas> Canvas::initBlank() { return initWithSize(kBlankWidth, kBlankHeight); }

std::unique_ptr<Canvas> Canvas::initWithPhotoSize(int w, int h)
{
    if (w <= 0 || h <= 0)
        return nullptr;
    // Single-precision ratio, truncated: the longer side is 1024.
    if (w > h)
        return initWithSize(kLongSide, static_cast<int>(static_cast<float>(h) / static_cast<float>(w) * 1024.0f));
    return initWithSize(static_cast<int>(static_cast<float>(w) / static_cast<float>(h) * 1024.0f), kLongSide);
}

std::unique_ptr<Canvas> Canvas::initWithUIImage(const imageio::DecodedImage& photo)
{
    return initWithPhotoSize(photo.displayWidth(), photo.displayHeight());
}

bool Canvas::createOffscreenContexts()
{
    m_paintingContext = gfx::BitmapContext::create(m_width, m_height); // transparent
    if (!m_paintingContext)
        return false;
    gfx::Size size{static_cast<double>(m_width), static_cast<double>(m_height)};
    m_prevStrokeLayer = gfx::Layer::create(*m_paintingContext, size);
    m_curStrokeLayer = gfx::Layer::create(*m_paintingContext, size);
    invalidateCompositeCache();
    return m_prevStrokeLayer && m_curStrokeLayer;
}

void Canvas::setPrevStrokeOpacity(float opacity)
{
    m_prevStrokeOpacity = opacity;
    invalidateCompositeCache();
}

void Canvas::setBackgroundColor(const gfx::Color& color)
{
    m_backgroundColor = color;
    invalidateCompositeCache();
    if (m_journal)
        m_journal->recordPaper(m_backgroundColor, m_textureName);
}

void Canvas::setTextureName(const std::optional<std::string>& name)
{
    m_textureName = name;
    m_textureLayer.reset();
    m_fadedTexture.reset();
    if (m_journal)
        m_journal->recordPaper(m_backgroundColor, m_textureName);
    if (!name)
        return;
    m_textureLayer = gfx::Layer::create(*m_paintingContext, bounds().size);
    if (!m_textureLayer)
        return;
    // A missing image leaves the layer empty: the texture then shows nothing.
    if (auto tile = gfx::imageNamed(*name + ".png")) {
        gfx::BitmapContext& ctx = m_textureLayer->context();
        gfx::GStateSaver saver(ctx);
        // Tiles start at the painting's top-left corner, each with the image's first row at its
        // larger-y edge.
        ctx.translate(-m_textureOrigin.x, -m_textureOrigin.y);
        ctx.scale(m_textureScale, m_textureScale);
        ctx.translate(0, tile->height());
        ctx.scale(1, -1);
        ctx.drawTiledImage({0, 0, static_cast<double>(tile->width()), static_cast<double>(tile->height())}, *tile);
    }
}

void Canvas::saveUndoState()
{
    m_paintingContext->setAlpha(m_prevStrokeOpacity); // stays set afterwards
    m_paintingContext->drawLayer(bounds(), *m_prevStrokeLayer);
    std::swap(m_prevStrokeLayer, m_curStrokeLayer);
    m_prevStrokeOpacity = m_curStrokeOpacity;
    m_curStrokeLayer->context().clearRect(bounds());
    invalidateCompositeCache();
    if (m_journal)
        m_journal->recordSnapshot();
}

void Canvas::undo()
{
    if (m_journal)
        m_journal->recordUndo();
    m_prevStrokeLayer->context().clearRect(bounds());
    m_curStrokeLayer->context().clearRect(bounds());
    invalidateCompositeCache();
}

void Canvas::mergeCurrentStrokes()
{
    gfx::BitmapContext& prev = m_prevStrokeLayer->context();
    prev.setAlpha(m_curStrokeOpacity);
    prev.drawLayer(bounds(), *m_curStrokeLayer);
    prev.setAlpha(1);
    m_curStrokeLayer->context().clearRect(bounds());
    invalidateCompositeCache();
}

void Canvas::flatten()
{
    m_paintingContext->setAlpha(m_prevStrokeOpacity);
    m_paintingContext->drawLayer(bounds(), *m_prevStrokeLayer);
    m_paintingContext->setAlpha(m_curStrokeOpacity); // stays set afterwards
    m_paintingContext->drawLayer(bounds(), *m_curStrokeLayer);
    m_prevStrokeLayer->context().clearRect(bounds());
    m_curStrokeLayer->context().clearRect(bounds());
    invalidateCompositeCache();
}

void Canvas::clear()
{
    if (m_journal)
        m_journal->recordClear();
    m_prevStrokeLayer->context().clearRect(bounds());
    m_curStrokeLayer->context().clearRect(bounds());
    m_paintingContext->clearRect(bounds());
    invalidateCompositeCache();
}
