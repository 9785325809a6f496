#pragma once
// A view that shows one image asset, placed by its content mode. Like the platform's image
// views it does not take touches unless told to (setUserInteractionEnabled). What lies outside
// the bounds (aspect fill, a centred large image) is cut off, so the view never paints over its
// neighbours. A picture with far more pixels than it covers on the screen (a photo straight from
// the camera) is drawn from a copy reduced to the size it shows, made once for that size.
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

class ImageView : public View {
public:
    explicit ImageView(const gfx::Rect& frame = {});
    // Sized to the image (in points), at the origin.
    explicit ImageView(ImageAssetRef image);

    const ImageAssetRef& image() const { return m_image; }
    void setImage(ImageAssetRef image);
    ContentMode contentMode() const { return m_contentMode; }
    void setContentMode(ContentMode mode);

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

    // The reduced copy drawn in place of a big picture, at the size it showed last; nullptr when
    // the picture is drawn as it is.
    const gfx::ImageRef& shownImage() const { return m_shown; }

private:
    const gfx::Image* reducedImage(const gfx::BitmapContext& context, const gfx::Rect& placed);

    ImageAssetRef m_image;
    ContentMode m_contentMode = ContentMode::ScaleToFill;
    gfx::ImageRef m_shown;
    std::weak_ptr<const gfx::Image> m_shownFrom;
};

// Draws an asset over `rect` (points) of the context's user space, a bundle picture in the variant
// the current screen scale wants (ImageAsset::forCurrentScale).
void drawImageAsset(gfx::BitmapContext& context, const gfx::Rect& rect, const ImageAsset& image);

} // namespace ui
