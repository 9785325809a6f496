#pragma once
// A view that shows one image asset, placed by its content mode. Like the platform's image
// views it does not take touches unless told to (setUserInteractionEnabled). What lies outside
// the bounds (aspect fill, a centred large image) is cut off, so the view never paints over its
// neighbours. A picture with far more pixels than it covers on the screen (a photo straight from
// the camera) is drawn from a copy reduced to the size it shows, made once for that size.
#include <array>

#include "Toolkit/EdgeInsets.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/View.h"

namespace ui {

// Content modes, with the platform's values.
enum class ContentMode {
    ScaleToFill = 0,     // stretched over the bounds
    ScaleAspectFit = 1,  // as large as fits, centred, proportions kept
    ScaleAspectFill = 2, // as small as covers the bounds, centred, proportions kept (cut at the bounds)
    Center = 4,          // at its own size, centred
};

// Where an image of `imageSize` points lands in `bounds` for a content mode.
gfx::Rect imageRectForContentMode(ContentMode mode, const gfx::Rect& bounds, gfx::Size imageSize);

// A picture cut into nine pieces at its caps (ImageView::capInsets), kept between draws.
struct CapPieces {
    gfx::ImageRef source;
    std::array<int, 4> cutsX{};
    std::array<int, 4> cutsY{};
    std::array<gfx::ImageRef, 9> pieces;
};

class ImageView : public View {
public:
    explicit ImageView(const gfx::Rect& frame = {});
    // Sized to the image (in points), at the origin.
    explicit ImageView(ImageAssetRef image);

    const ImageAssetRef& image() const { return m_image; }
    void setImage(ImageAssetRef image);
    ContentMode contentMode() const { return m_contentMode; }
    void setContentMode(ContentMode mode);
    // Edges of the image (points) kept at their size when it is stretched over the bounds (scale
    // to fill): the corners stay as drawn, the edges stretch along, the middle both ways. So a
    // frame picture fits a picture of any shape. None by default.
    const EdgeInsets& capInsets() const { return m_capInsets; }
    void setCapInsets(const EdgeInsets& caps);

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

    // The reduced copy drawn in place of a big picture, at the size it showed last; nullptr when
    // the picture is drawn as it is.
    const gfx::ImageRef& shownImage() const { return m_shown; }

private:
    const gfx::Image* reducedImage(const gfx::BitmapContext& context, const gfx::Rect& placed);

    ImageAssetRef m_image;
    ContentMode m_contentMode = ContentMode::ScaleToFill;
    EdgeInsets m_capInsets;
    CapPieces m_capPieces;
    gfx::ImageRef m_shown;
    std::weak_ptr<const gfx::Image> m_shownFrom;
};

// Draws an asset over `rect` (points) of the context's user space, a bundle picture in the variant
// the current screen scale wants (ImageAsset::forCurrentScale).
void drawImageAsset(gfx::BitmapContext& context, const gfx::Rect& rect, const ImageAsset& image);
// The same in nine pieces: the `caps` (points of the image) keep their size, the rest stretches.
// `cache` keeps the cut picture between calls (cut again when the picture or the cuts change).
void drawImageAssetWithCaps(gfx::BitmapContext& context, const gfx::Rect& rect, const ImageAsset& image,
                            const EdgeInsets& caps, CapPieces& cache);

} // namespace ui
