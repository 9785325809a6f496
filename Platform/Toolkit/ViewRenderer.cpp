#include "Toolkit/ViewRenderer.h"

#include <optional>

#include "Toolkit/PageCurl.h"
#include "Toolkit/View.h"

namespace ui {

namespace {
// Below this the view contributes less than a colour level anywhere.
constexpr double kInvisibleAlpha = 0.5 / 255;
} // namespace

void renderViewContent(gfx::BitmapContext& ctx, View& view)
{
    gfx::Rect bounds = view.presentationBounds();
    if (view.clipsToBounds())
        ctx.clipToRect(bounds);
    gfx::Rect clip = ctx.clipBoundingBox();
    if (clip.isEmpty())
        return;
    gfx::Rect dirty = clip.intersected(view.clipsToBounds() ? bounds : view.presentationDrawingBounds());
    if (!dirty.isEmpty()) {
        gfx::GStateSaver saver(ctx);
        ctx.clipToRect(dirty);
        if (const auto& bg = view.backgroundColor()) {
            ctx.setFillColor(*bg);
            ctx.fillRect(bounds);
        }
        view.drawRect(ctx, dirty);
    }
    // By index: drawing code must not change the tree, but a stale reference must not crash.
    const auto& subviews = view.subviews();
    for (std::size_t i = 0; i < subviews.size(); ++i)
        renderView(ctx, *subviews[i], true);
}

void renderView(gfx::BitmapContext& ctx, View& view, bool placeInSuperview)
{
    if (view.isHidden())
        return;
    double alpha = view.presentationAlpha();
    if (alpha < kInvisibleAlpha)
        return;
    gfx::GStateSaver saver(ctx);
    if (placeInSuperview) {
        gfx::AffineTransform placement = view.presentationTransformToSuperview();
        if (placement.determinant() == 0)
            return;
        ctx.concat(placement);
    }
    if (ctx.clipBoundingBox().isEmpty())
        return;
    // A translucent view is composited as one layer, so its overlapping parts do not show
    // through each other (and dabs drawn by the span kernel fade with it).
    std::optional<gfx::TransparencyLayer> layer;
    if (alpha < 1)
        layer.emplace(ctx, alpha);
    Animator::TransitionFrame transition;
    if (Animator::shared().transitionFrame(view, transition))
        drawPageCurl(ctx, view, transition);
    else
        renderViewContent(ctx, view);
}

} // namespace ui
