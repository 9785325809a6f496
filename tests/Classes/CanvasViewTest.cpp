// The canvas view: its brush and photo at creation, the timed outline cross-fade, redrawing only
// what was invalidated, touch order and the blueprint sketch.
#include <gtest/gtest.h>

#include "PaintViewTestSupport.h"

namespace {

using painting_test::PaintingViewTest;
using painting_test::RecordingDelegate;

class CanvasViewTest : public PaintingViewTest {};

// Largest alpha in a layer over a rectangle.
int maxAlpha(const gfx::BitmapContext& ctx, const gfx::IntRect& r)
{
    int best = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            best = std::max(best, static_cast<int>(ctx.pixelAt(x, y) >> 24));
    return best;
}

TEST_F(CanvasViewTest, BlankCanvasGetsAFreehandOilBrushAndNeverAnOutline)
{
    blankDocument();
    auto view = makeCanvasView();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->bounds(), gfx::Rect(0, 0, 712, 1024));
    const BrushTool& brush = view->brushTool();
    EXPECT_EQ(brush.mode(), BrushTool::kModeFreehand);
    EXPECT_EQ(brush.shapeName(), "Oil");
    EXPECT_EQ(brush.size(), 100);
    EXPECT_EQ(brush.opacity(), 1.0f);
    EXPECT_EQ(brush.spacing(), 0.5f);
    EXPECT_FALSE(brush.airbrush());
    EXPECT_TRUE(brush.addNoise());
    EXPECT_EQ(brush.canvasView(), view.get());
    EXPECT_TRUE(view->isOpaque());
    EXPECT_EQ(view->backgroundColor(), canvas().backgroundColor());
    EXPECT_FALSE(view->origImageView());

    RecordingDelegate delegate;
    view->setDelegate(&delegate);
    runUntil(5);
    EXPECT_TRUE(delegate.calls.empty());
    EXPECT_FALSE(view->outlineView());
}

TEST_F(CanvasViewTest, PhotoFadesIntoTheOutlineAfterAQuarterSecond)
{
    photoDocument(300, 200);
    auto view = makeCanvasView();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->brushTool().mode(), BrushTool::kModePhoto);
    ASSERT_TRUE(view->origImageView());
    EXPECT_TRUE(view->origImageView()->image());
    RecordingDelegate delegate;
    view->setDelegate(&delegate);

    runUntil(0.2);
    EXPECT_TRUE(delegate.calls.empty());
    runUntil(0.25);
    ASSERT_EQ(delegate.calls, (std::vector<std::string>{"will-create", "did-create"}));
    EXPECT_EQ(delegate.times[0], 0.25);
    EXPECT_EQ(delegate.outlineAlphaAtDidCreate, 0.0); // added invisible
    ASSERT_TRUE(view->outlineView());
    EXPECT_EQ(view->subviews().back(), view->outlineView()); // topmost
    EXPECT_FALSE(view->outlineView()->isOpaque());
    // Model values change at once; the screen moves over two seconds with an ease-in curve.
    EXPECT_EQ(view->outlineView()->alpha(), 1.0);
    EXPECT_EQ(view->origImageView()->alpha(), 0.0);
    runUntil(1.25);
    const double shown = view->outlineView()->presentationAlpha();
    EXPECT_GT(shown, 0.0);
    EXPECT_LT(shown, 0.5); // ease-in: less than half-way at half the time
    EXPECT_NEAR(view->origImageView()->presentationAlpha(), 1.0 - shown, 1e-9);
    runUntil(2.3);
    EXPECT_EQ(view->outlineView()->presentationAlpha(), 1.0);
    EXPECT_EQ(view->origImageView()->presentationAlpha(), 0.0);
}

// The photo view shows the raw image's own pixels, shrunk once to the pixels the canvas covers
// on the screen: every frame of the fade draws that copy, none shrinks the photo again.
TEST_F(CanvasViewTest, TheFadeDrawsThePhotoShrunkOnceToTheScreen)
{
    photoDocument(2048, 1536);
    auto paintView = makePaintView(window->bounds());
    window->addSubview(paintView);
    window->setScale(2);
    window->display();
    const std::shared_ptr<ui::ImageView>& photoView = paintView->canvasView()->origImageView();
    ASSERT_TRUE(photoView && photoView->image());
    EXPECT_EQ(photoView->image()->pixels->data(), DataModel::sharedDataModel()->rawImage()->pixels()->data());
    ASSERT_TRUE(photoView->shownImage());
    EXPECT_EQ(photoView->shownImage()->size(), (gfx::Size{640, 480})); // the canvas fits 320 x 240 points
    const gfx::Image* shown = photoView->shownImage().get();
    for (double t = 0.3; t < 2.3; t += 0.4) {
        runUntil(t);
        window->display();
        EXPECT_EQ(photoView->shownImage().get(), shown) << "at " << t << " s";
    }
}

TEST_F(CanvasViewTest, GoingAwayBeforeTheOutlineTimerIsSafe)
{
    photoDocument(64, 64);
    RecordingDelegate delegate;
    {
        auto view = makeCanvasView();
        view->setDelegate(&delegate);
    }
    runUntil(1);
    EXPECT_TRUE(delegate.calls.empty());
}

TEST_F(CanvasViewTest, RedrawsOnlyTheInvalidatedRectWithTheFullCompositesPixels)
{
    blankDocument();
    auto view = makeCanvasView();
    testing::paintStroke(canvas(), {100, 100, 200, 150}, {0.2f, 0.4f, 0.9f, 1});
    canvas().setCurStrokeOpacity(0.5f);
    auto full = gfx::BitmapContext::create(712, 1024);
    view->drawRect(*full, view->bounds());
    auto part = gfx::BitmapContext::create(712, 1024);
    part->setFillColor({1, 0, 1, 1});
    part->fillRect(part->bounds());
    const gfx::Rect dirty(150, 120, 60, 40);
    view->drawRect(*part, dirty);
    for (int y = 100; y < 180; y += 3)
        for (int x = 130; x < 230; x += 3) {
            const bool inside = dirty.contains({x + 0.5, y + 0.5});
            ASSERT_EQ(part->pixelAt(x, y), inside ? full->pixelAt(x, y) : 0xFFFF00FFu) << x << ", " << y;
        }
}

TEST_F(CanvasViewTest, ThePaintViewSeesATouchBeforeTheBrushActs)
{
    blankDocument();
    auto paintView = makePaintView(window->bounds());
    window->addSubview(paintView);
    RecordingDelegate delegate;
    paintView->setPaintViewDelegate(&delegate);
    paintView->canvasView()->brushTool().setStrokeBeganHandler([&] { delegate.calls.push_back("brush"); });
    window->touchDown(1, {100, 100}, 0);
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"start", "brush"}));
    window->touchUp(1, {100, 100}, 0.1);
}

TEST_F(CanvasViewTest, SketchReplacesStrokesSinceTheLastSnapshotAndIsOneUndoStep)
{
    // A flat grey photo with a white square near its top-left corner: edges there, none elsewhere.
    auto photo = testing::makePhoto(200, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            std::uint8_t* p = photo->bytes->data() + (static_cast<std::size_t>(y) * 200 + x) * 4;
            p[0] = p[1] = p[2] = (x > 5 && x < 20 && y > 5 && y < 20) ? 255 : 128;
        }
    ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(photo));
    auto view = makeCanvasView();
    view->renderAndShowOutlineAnimated(false);
    ASSERT_TRUE(view->outlineView());
    EXPECT_EQ(view->outlineView()->alpha(), 1.0);
    testing::paintStroke(canvas(), {300, 200, 100, 100}, gfx::Color::black());
    view->sketchOutline({0, 0, 1, 1});
    EXPECT_EQ(maxAlpha(canvas().curStrokeLayer().context(), {0, 0, canvas().width(), canvas().height()}), 0);
    EXPECT_EQ(maxAlpha(canvas().prevStrokeLayer().context(), {320, 220, 60, 60}), 0); // the stroke is gone
    // The square's edges: the sketch is in the previous group.
    EXPECT_GT(maxAlpha(canvas().prevStrokeLayer().context(), {0, 0, 256, 256}), 0);
    canvas().undo();
    EXPECT_EQ(maxAlpha(canvas().prevStrokeLayer().context(), {0, 0, 256, 256}), 0);
}

TEST_F(CanvasViewTest, SketchWithoutAnOutlineStillTakesTheSnapshot)
{
    blankDocument();
    auto view = makeCanvasView();
    testing::paintStroke(canvas(), {10, 10, 50, 50}, gfx::Color::black());
    view->sketchOutline(gfx::Color::black());
    EXPECT_EQ(maxAlpha(canvas().curStrokeLayer().context(), {10, 10, 50, 50}), 0);
    EXPECT_GT(maxAlpha(canvas().prevStrokeLayer().context(), {10, 10, 50, 50}), 0);
}

} // namespace
