#include "Toolkit/PageCurl.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

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

void enterCurlFrame(cairo_t* cr, const CurlGeometry& g)
{
    cairo_translate(cr, g.corner.x, g.corner.y);
    cairo_rotate(cr, g.angle);
}

// Clips to the lifted part (x < fold) or the flat part (x >= fold).
void clipToSide(cairo_t* cr, const CurlGeometry& g, bool lifted)
{
    cairo_save(cr);
    enterCurlFrame(cr, g);
    if (lifted)
        cairo_rectangle(cr, -g.far, -g.far, g.fold + g.far, 2 * g.far);
    else
        cairo_rectangle(cr, g.fold, -g.far, g.far, 2 * g.far);
    cairo_restore(cr); // the path stays in device space
    cairo_clip(cr);
}

void drawFoldShadow(cairo_t* cr, const CurlGeometry& g)
{
    // The shade fades in as the corner lifts and out as the fold reaches the far corner.
    double width = std::min({kShadowWidth, g.fold, g.length - g.fold});
    if (width <= 0)
        return;
    cairo_save(cr);
    enterCurlFrame(cr, g);
    std::unique_ptr<cairo_pattern_t, decltype(&cairo_pattern_destroy)> shade(
        cairo_pattern_create_linear(g.fold, 0, g.fold - width, 0), cairo_pattern_destroy);
    cairo_pattern_add_color_stop_rgba(shade.get(), 0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(shade.get(), 1, 0, 0, 0, 0);
    cairo_set_source(cr, shade.get());
    cairo_rectangle(cr, g.fold - width, -g.far, width, 2 * g.far);
    cairo_fill(cr);
    cairo_restore(cr);
}

// The lifted part mirrored over the fold line (foreshortened): the page's back over the flat part.
void drawFlap(cairo_t* cr, const CurlGeometry& g, const gfx::Rect& page)
{
    if (g.fold < 0.5)
        return;
    cairo_save(cr);
    cairo_save(cr);
    enterCurlFrame(cr, g);
    cairo_translate(cr, g.fold, 0);
    cairo_scale(cr, -kFlapSquash, 1);
    cairo_translate(cr, -g.fold, 0);
    cairo_rotate(cr, -g.angle);
    cairo_translate(cr, -g.corner.x, -g.corner.y);
    cairo_rectangle(cr, page.x(), page.y(), page.width(), page.height());
    cairo_restore(cr);
    cairo_clip(cr);
    clipToSide(cr, g, false);
    enterCurlFrame(cr, g);
    std::unique_ptr<cairo_pattern_t, decltype(&cairo_pattern_destroy)> back(
        cairo_pattern_create_linear(g.fold, 0, g.fold * (1 + kFlapSquash), 0), cairo_pattern_destroy);
    cairo_pattern_add_color_stop_rgb(back.get(), 0, 0.62, 0.62, 0.62);
    cairo_pattern_add_color_stop_rgb(back.get(), 0.25, 0.9, 0.9, 0.9);
    cairo_pattern_add_color_stop_rgb(back.get(), 1, 0.98, 0.98, 0.98);
    cairo_set_source(cr, back.get());
    cairo_paint(cr);
    cairo_restore(cr);
}
} // namespace

void drawPageCurl(gfx::BitmapContext& ctx, View& container, const Animator::TransitionFrame& frame)
{
    gfx::Rect page = container.presentationBounds();
    cairo_t* cr = ctx.cairoContext();
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
        clipToSide(cr, g, true);
        up ? drawNew() : drawOld();
        drawFoldShadow(cr, g);
    }
    {
        gfx::GStateSaver flat(ctx);
        clipToSide(cr, g, false);
        up ? drawOld() : drawNew();
    }
    drawFlap(cr, g, page);
}

} // namespace ui
