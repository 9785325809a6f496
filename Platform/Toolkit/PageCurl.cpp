#include "Toolkit/PageCurl.h"

#include <algorithm>
#include <cmath>

#include "Toolkit/View.h"
#include "Toolkit/ViewRenderer.h"

namespace ui {

namespace {
constexpr double kShadowWidth = 24; // points of shade cast by the fold on what lies beneath
// The lifted part rolls over a cylinder, so its back shows foreshortened: this much of its width.
constexpr double kFlapSquash = 0.5;

// The curl's frame: x runs from the peeling corner along the diagonal, the fold is at x = fold.
struct CurlGeometry {
    gfx::Point corner;
    double angle = 0;
    double length = 0;
    double fold = 0;
    double far = 0; // large enough to cover the page in any direction
};

void enterCurlFrame(gfx::BitmapContext& ctx, const CurlGeometry& g)
{
    ctx.translate(g.corner.x, g.corner.y);
    ctx.rotate(g.angle);
}

// Clips to the lifted part (x < fold) or the flat part (x >= fold); the transform is kept.
void clipToSide(gfx::BitmapContext& ctx, const CurlGeometry& g, bool lifted)
{
    const gfx::AffineTransform user = ctx.ctm();
    enterCurlFrame(ctx, g);
    if (lifted)
        ctx.clipToRect({-g.far, -g.far, g.fold + g.far, 2 * g.far});
    else
        ctx.clipToRect({g.fold, -g.far, g.far, 2 * g.far});
    ctx.setCTM(user);
}

void drawFoldShadow(gfx::BitmapContext& ctx, const CurlGeometry& g)
{
    // The shade fades in as the corner lifts and out as the fold reaches the far corner.
    double width = std::min({kShadowWidth, g.fold, g.length - g.fold});
    if (width <= 0)
        return;
    gfx::GStateSaver saver(ctx);
    enterCurlFrame(ctx, g);
    ctx.clipToRect({g.fold - width, -g.far, width, 2 * g.far});
    const gfx::Gradient shade{{0, gfx::Color::black().withAlpha(0.45f)}, {1, gfx::Color::clear()}};
    ctx.drawLinearGradient(shade, {g.fold, 0}, {g.fold - width, 0});
}

// The lifted part mirrored over the fold line (foreshortened): the page's back over the flat part.
void drawFlap(gfx::BitmapContext& ctx, const CurlGeometry& g, const gfx::Rect& page)
{
    if (g.fold < 0.5)
        return;
    gfx::GStateSaver saver(ctx);
    const gfx::AffineTransform user = ctx.ctm();
    enterCurlFrame(ctx, g);
    ctx.translate(g.fold, 0);
    ctx.scale(-kFlapSquash, 1);
    ctx.translate(-g.fold, 0);
    ctx.rotate(-g.angle);
    ctx.translate(-g.corner.x, -g.corner.y);
    ctx.clipToRect(page);
    ctx.setCTM(user);
    clipToSide(ctx, g, false);
    enterCurlFrame(ctx, g);
    const gfx::Gradient back{
        {0, {0.62f, 0.62f, 0.62f, 1}}, {0.25, {0.9f, 0.9f, 0.9f, 1}}, {1, {0.98f, 0.98f, 0.98f, 1}}};
    ctx.drawLinearGradient(back, {g.fold, 0}, {g.fold * (1 + kFlapSquash), 0});
}
} // namespace

void drawPageCurl(gfx::BitmapContext& ctx, View& container, const Animator::TransitionFrame& frame)
{
    gfx::Rect page = container.presentationBounds();
    CurlGeometry g;
    g.corner = {page.maxX(), page.maxY()};
    g.length = std::hypot(page.width(), page.height());
    g.angle = std::atan2(-page.height(), -page.width());
    g.far = 4 * g.length + 1;
    bool up = frame.kind == AnimationTransition::CurlUp;
    g.fold = g.length * (up ? frame.progress : 1 - frame.progress);

    auto drawOld = [&] {
        if (frame.snapshot)
            ctx.drawBitmap(page, *frame.snapshot);
    };
    auto drawNew = [&] { renderViewContent(ctx, container); };

    gfx::GStateSaver all(ctx);
    ctx.clipToRect(page);
    {
        gfx::GStateSaver beneath(ctx);
        clipToSide(ctx, g, true);
        up ? drawNew() : drawOld();
        drawFoldShadow(ctx, g);
    }
    {
        gfx::GStateSaver flat(ctx);
        clipToSide(ctx, g, false);
        up ? drawOld() : drawNew();
    }
    drawFlap(ctx, g, page);
}

} // namespace ui
