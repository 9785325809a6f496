// Compositing the canvas layers: thumbnails and images for export and storage, and the cached
// screen composite.
#include "Canvas.h"

#include <algorithm>

// Paper (when asked), painting bitmap and previous strokes: the part that a stroke does not change.
void Canvas::drawSettledLayers(gfx::BitmapContext& ctx, bool includingBackground) const
{
    gfx::Rect all = bounds();
    if (includingBackground) {
        ctx.setFillColor(m_backgroundColor);
        ctx.fillRect(all);
    }
    ctx.drawBitmap(all, *m_paintingContext);
    if (m_prevStrokeLayer) { // an archive copy has no stroke layers
        ctx.setAlpha(m_prevStrokeOpacity);
        ctx.drawLayer(all, *m_prevStrokeLayer);
    }
}

void Canvas::drawPlainComposite(gfx::BitmapContext& ctx, bool includingBackgroundAndTexture) const
{
    gfx::Rect all = bounds();
    drawSettledLayers(ctx, includingBackgroundAndTexture);
    if (m_curStrokeLayer) {
        ctx.setAlpha(m_curStrokeOpacity);
        ctx.drawLayer(all, *m_curStrokeLayer);
    }
    if (includingBackgroundAndTexture && m_textureName && m_textureLayer) {
        ctx.setAlpha(kTextureAlpha);
        ctx.setBlendMode(gfx::BlendMode::SourceAtop);
        ctx.drawLayer(all, *m_textureLayer);
    }
}

gfx::ImageRef Canvas::createThumbnail(int size, bool includingBackgroundAndTexture) const
{
    float f = static_cast<float>(size) / static_cast<float>(std::max(m_width, m_height));
    auto ctx = gfx::BitmapContext::create(static_cast<int>(f * static_cast<float>(m_width)),
                                          static_cast<int>(f * static_cast<float>(m_height)));
    if (!ctx)
        return nullptr;
    // Our surfaces share one top-down orientation, so the canvas's top row is the image's first
    // row without a flip.
    ctx->scale(f, f);
    drawPlainComposite(*ctx, includingBackgroundAndTexture);
    return ctx->makeImage();
}

void Canvas::paintingDidChange(const gfx::Rect& rect)
{
    m_cacheDirty = m_cacheDirty.united(rect.intersected(bounds()));
}

void Canvas::refreshCompositeCache()
{
    if (!m_compositeCache) {
        m_compositeCache = gfx::BitmapContext::create(m_width, m_height);
        m_cacheDirty = bounds();
        if (!m_compositeCache)
            return;
    }
    gfx::BitmapContext& cache = *m_compositeCache;
    gfx::GStateSaver saver(cache);
    cache.clipToRect(m_cacheDirty.integral());
    cache.clearRect(bounds());
    drawSettledLayers(cache, true);
    m_cacheDirty = {};
}

void Canvas::drawComposite(gfx::BitmapContext& ctx, const gfx::Rect& dirty)
{
    if (!m_cacheDirty.isEmpty())
        refreshCompositeCache();
    gfx::GStateSaver saver(ctx);
    ctx.clipToRect(dirty);
    gfx::Rect all = bounds();
    // Over opaque paper the cache is opaque, so copying it equals drawing it over; and source-atop
    // at 15% over an opaque result equals plain source-over of the texture faded once beforehand.
    bool opaquePaper = m_backgroundColor.alpha >= 1.0f;
    if (m_compositeCache) {
        if (opaquePaper)
            ctx.setBlendMode(gfx::BlendMode::Copy);
        ctx.drawBitmap(all, *m_compositeCache);
        ctx.setBlendMode(gfx::BlendMode::Normal);
    } else { // no memory for the cache: composite the slow way
        drawSettledLayers(ctx, true);
    }
    ctx.setAlpha(m_curStrokeOpacity);
    ctx.drawLayer(all, *m_curStrokeLayer);
    if (!m_textureName || !m_textureLayer)
        return;
    if (opaquePaper && m_compositeCache && fadeTexture()) {
        ctx.setAlpha(1);
        ctx.drawLayer(all, *m_fadedTexture);
        return;
    }
    ctx.setAlpha(kTextureAlpha);
    ctx.setBlendMode(gfx::BlendMode::SourceAtop);
    ctx.drawLayer(all, *m_textureLayer);
}

bool Canvas::fadeTexture()
{
    if (m_fadedTexture)
        return true;
    m_fadedTexture = gfx::Layer::create(*m_paintingContext, bounds().size);
    if (!m_fadedTexture)
        return false;
    // The same multiplication the compositor applies to a layer drawn at an alpha.
    gfx::BitmapContext& ctx = m_fadedTexture->context();
    ctx.setAlpha(kTextureAlpha);
    ctx.drawLayer(bounds(), *m_textureLayer);
    ctx.setAlpha(1);
    return true;
}
