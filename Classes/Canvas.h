#pragma once
// The pixels of one painting: the committed painting bitmap, two transparent stroke layers (the
// last closed group and the current one, which make one level of undo), an optional paper
// texture layer and the paper colour. All surfaces are width x height in canvas coordinates
// (origin at the painting's top-left, y down, one unit per pixel).
//
// Composite, bottom to top: background colour, painting bitmap, previous strokes at
// prevStrokeOpacity, current strokes at curStrokeOpacity, texture at 15% with source-atop.
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "Foundation/KeyedArchive.h"
#include "Foundation/Result.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/Color.h"
#include "Graphics/Image.h"
#include "Graphics/Layer.h"

class Journal;
namespace imageio {
struct DecodedImage;
}
namespace fnd {
class KeyedUnarchiver;
}

class Canvas : public fnd::Codable {
public:
    static constexpr int kBlankWidth = 712;
    static constexpr int kBlankHeight = 1024;
    static constexpr int kLongSide = 1024;
    static constexpr float kTextureAlpha = 0.15f;
    // Stroke opacities of a new or restored canvas: a blueprint sketched before the first stroke
    // shows at full strength.
    static constexpr float kInitialStrokeOpacity = 1.0f;

    // 712 x 1024, white paper. nullptr when the bitmap cannot be made.
    static std::unique_ptr<Canvas> initBlank();
    // Sized from the photo as displayed: the longer side becomes 1024.
    static std::unique_ptr<Canvas> initWithUIImage(const imageio::DecodedImage& photo);
    static std::unique_ptr<Canvas> initWithPhotoSize(int displayWidth, int displayHeight);
    // An empty canvas of the given size (restoring from an archive). nullptr for absurd sizes.
    static std::unique_ptr<Canvas> initWithSize(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    gfx::Rect bounds() const { return {0, 0, static_cast<double>(m_width), static_cast<double>(m_height)}; }

    gfx::BitmapContext& paintingContext() { return *m_paintingContext; }
    const gfx::BitmapContext& paintingContext() const { return *m_paintingContext; }
    gfx::Layer& prevStrokeLayer() { return *m_prevStrokeLayer; }
    gfx::Layer& curStrokeLayer() { return *m_curStrokeLayer; }
    const gfx::Layer& prevStrokeLayer() const { return *m_prevStrokeLayer; }
    const gfx::Layer& curStrokeLayer() const { return *m_curStrokeLayer; }
    const gfx::Layer* textureLayer() const { return m_textureLayer.get(); }

    float prevStrokeOpacity() const { return m_prevStrokeOpacity; }
    float curStrokeOpacity() const { return m_curStrokeOpacity; }
    void setPrevStrokeOpacity(float opacity);
    void setCurStrokeOpacity(float opacity) { m_curStrokeOpacity = opacity; }

    const gfx::Color& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const gfx::Color& color);
    const std::optional<std::string>& textureName() const { return m_textureName; }
    // Sets the texture and rebuilds the texture layer by tiling name + ".png" from the bundle.
    void setTextureName(const std::optional<std::string>& name);
    // For replays at another size or in tiles: the tiles are drawn `scale` times their size,
    // laid from `origin` (the canvas's top-left corner in the painting); takes effect at the
    // next setTextureName.
    void setTextureTiling(double scale, gfx::Point origin)
    {
        m_textureScale = scale;
        m_textureOrigin = origin;
    }

    // The journal the painting records into (Journal.h), if any: the canvas records its undo
    // snapshots, undos, clears and paper changes, the brush its strokes. A replay's canvas has none.
    Journal* journal() const { return m_journal.get(); }
    const std::shared_ptr<Journal>& journalRef() const { return m_journal; }
    void setJournal(std::shared_ptr<Journal> journal) { m_journal = std::move(journal); }
    // While an automatic painting lays its strokes it keeps the journal aside (nothing is recorded
    // meanwhile) and gives the canvas `journalSoFar`: the journal as it would stand were the
    // painting stopped now. A save meanwhile stores that journal and the pixels the stop would
    // leave (the current strokes merged into the previous ones), so the two agree. None: no
    // automatic painting runs.
    void setJournalSoFar(std::function<std::shared_ptr<Journal>()> journalSoFar)
    {
        m_journalSoFar = std::move(journalSoFar);
    }
    // What a save stores: the journal, or the automatic painting's journal so far.
    std::shared_ptr<const Journal> journalToArchive() const;

    // Commits the previous group into the painting bitmap and makes the current group the
    // previous one (the undo snapshot). The composite does not change.
    void saveUndoState();
    // Discards both stroke layers: the last closed group and everything since.
    void undo();
    // Commits both stroke layers into the painting bitmap (before erasing).
    void flatten();
    // Draws the current group over the previous one at the current stroke opacity and empties
    // the current group: both become one group that undo() takes back whole. Meant for a
    // previous group standing at opacity 1 (flatten(), then setPrevStrokeOpacity(1)).
    void mergeCurrentStrokes();
    // Discards all paint; paper colour, texture and opacities stay.
    void clear();
    // What saving and reopening does to the pixels: the composite without paper goes through the
    // archive's picture (straight alpha, 8 bits) into the painting bitmap, the stroke layers are
    // emptied and both opacities reset. For replays; false when out of memory.
    bool commitAsReopened();
    // Replaces the painting bitmap with a stored painting picture (a PNG of this canvas's size,
    // straight alpha, as the archive keeps it); the strokes stay.
    fnd::Status setPaintingFromPng(std::span<const std::uint8_t> png);

    // A new image of the composite whose longer side is `size`; nullptr if it cannot be made.
    gfx::ImageRef createThumbnail(int size, bool includingBackgroundAndTexture) const;
    gfx::ImageRef createThumbnail(int size) const { return createThumbnail(size, true); }

    // A canvas that archives exactly as this one does, for encoding away from the main thread: the
    // same size, paper colour and texture name, and this canvas's painting with its strokes as
    // its painting bitmap. It has no stroke or texture layers, so it is only for encoding. nullptr
    // when out of memory.
    std::unique_ptr<Canvas> copyForArchive() const;

    // Archive coding: size, paper colour, texture name and the painting as a PNG.
    const char* className() const override { return "Canvas"; }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override;
    // nullptr (the reason in coder.error()) when the fields disagree or the PNG is unusable.
    static std::unique_ptr<Canvas> initWithCoder(fnd::KeyedUnarchiver& coder);

    // Draws the composite for the screen into `ctx` (in canvas coordinates under ctx's transform),
    // limited to `dirty`. The layers that do not change during a stroke (paper, painting bitmap,
    // previous strokes) are kept composited in a cache, so a frame costs one copy plus the
    // current-strokes and texture layers. Pixels are those of the plain composite.
    void drawComposite(gfx::BitmapContext& ctx, const gfx::Rect& dirty);
    // Tells the canvas that the painting bitmap changed inside `rect` through direct drawing
    // (the eraser), so the composite cache is refreshed there.
    void paintingDidChange(const gfx::Rect& rect);

private:
    Canvas(int width, int height);
    bool createOffscreenContexts();
    void drawSettledLayers(gfx::BitmapContext& ctx, bool includingBackground) const;
    void drawPlainComposite(gfx::BitmapContext& ctx, bool includingBackgroundAndTexture) const;
    bool drawArchivedComposite(gfx::BitmapContext& ctx) const;
    void refreshCompositeCache();
    bool fadeTexture();
    void invalidateCompositeCache() { m_cacheDirty = bounds(); }

    int m_width;
    int m_height;
    std::unique_ptr<gfx::BitmapContext> m_paintingContext;
    std::unique_ptr<gfx::Layer> m_prevStrokeLayer;
    std::unique_ptr<gfx::Layer> m_curStrokeLayer;
    std::unique_ptr<gfx::Layer> m_textureLayer;
    float m_prevStrokeOpacity = kInitialStrokeOpacity;
    float m_curStrokeOpacity = kInitialStrokeOpacity;
    gfx::Color m_backgroundColor = gfx::Color::white();
    std::optional<std::string> m_textureName;
    double m_textureScale = 1.0;
    gfx::Point m_textureOrigin;
    std::shared_ptr<Journal> m_journal;
    std::function<std::shared_ptr<Journal>()> m_journalSoFar;

    std::unique_ptr<gfx::BitmapContext> m_compositeCache; // paper + painting + previous strokes
    std::unique_ptr<gfx::Layer> m_fadedTexture;           // the texture already at 15%
    gfx::Rect m_cacheDirty;
};
