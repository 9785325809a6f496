#pragma once
// The blueprint overlay: shows the edge sketch of the painting's photo (an image mask,
// see RawImage::createCompatibleImageOutline) as lines of one colour, fitted into the view's
// bounds with the photo's proportions and centred. The canvas view also asks it to paint the
// sketch into the canvas's current-strokes layer.
#include <memory>

#include "Graphics/ImageMask.h"
#include "Toolkit/View.h"

class RawImage;

class OutlineView : public ui::View {
    struct Token {
        explicit Token() = default;
    };

public:
    // The overlay for `rawImage` (only read here); nullptr when there is none or its outline
    // cannot be made. Transparent (white at alpha 0) behind the outline.
    static std::shared_ptr<OutlineView> initWithFrame(const gfx::Rect& frame, const RawImage* rawImage);
    OutlineView(Token, const gfx::Rect& frame);

    const gfx::ImageMaskRef& outlineMask() const { return m_outlineMask; }
    void setOutlineMask(gfx::ImageMaskRef mask) { m_outlineMask = std::move(mask); }

    // Maps the mask's space into the bounds: the window's transform, a flip about the mask's
    // height, then the largest uniform scale that fits.
    gfx::AffineTransform imageTransformToFitView() const;
    // Clears the bounds in `context` and paints the fitted, centred outline in `color`.
    void renderOutlineOnContext(gfx::BitmapContext& context, const gfx::Color& color) const;

    // The outline in opaque blue.
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    // The fitted outline in `color` over whatever the context holds.
    void paintOutline(gfx::BitmapContext& context, const gfx::Color& color) const;

    gfx::ImageMaskRef m_outlineMask;
};
