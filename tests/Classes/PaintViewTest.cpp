// The paint view: fitting the canvas, modes, painting start and end, the two-second snapshot
// rule and pinch zoom.
#include <gtest/gtest.h>

#include "PaintViewTestSupport.h"

namespace {

using painting_test::PaintingViewTest;
using painting_test::RecordingDelegate;

class PaintViewTest : public PaintingViewTest {
protected:
    void SetUp() override
    {
        PaintingViewTest::SetUp();
        blankDocument();
        paintView = makePaintView(window->bounds());
        ASSERT_TRUE(paintView);
        window->addSubview(paintView);
        paintView->setPaintViewDelegate(&delegate);
    }

    // One finger from `from` to `to` between times t0 and t1 (window points).
    void stroke(gfx::Point from, gfx::Point to, double t0, double t1)
    {
        runUntil(t0);
        window->touchDown(1, from, now());
        for (int i = 1; i <= 4; ++i) {
            runUntil(t0 + (t1 - t0) * i / 4);
            window->touchMove(1, {from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4}, now());
        }
        window->touchUp(1, to, now());
    }
    // Paint under a window point, in a layer of the canvas.
    int alphaUnder(gfx::Layer& layer, gfx::Point windowPoint)
    {
        gfx::Point p = paintView->canvasView()->convertPointFromView(windowPoint, nullptr);
        int best = 0;
        for (int dy = -8; dy <= 8; ++dy)
            for (int dx = -8; dx <= 8; ++dx)
                best = std::max(
                    best, static_cast<int>(
                              layer.context().pixelAt(static_cast<int>(p.x) + dx, static_cast<int>(p.y) + dy) >> 24));
        return best;
    }

    std::shared_ptr<PaintView> paintView;
    RecordingDelegate delegate;
};

TEST_F(PaintViewTest, FitsTheWholeCanvasAtTheTopLeft)
{
    const double z = static_cast<double>(320.0f / 712.0f);
    EXPECT_NEAR(z, 0.4494, 1e-4);
    EXPECT_DOUBLE_EQ(paintView->minimumZoomScale(), z);
    EXPECT_EQ(paintView->maximumZoomScale(), 2.0);
    EXPECT_DOUBLE_EQ(paintView->zoomScale(), z);
    const gfx::Rect shown = paintView->canvasView()->frame();
    EXPECT_NEAR(shown.x(), 0, 1e-9);
    EXPECT_NEAR(shown.y(), 0, 1e-9);
    EXPECT_NEAR(shown.width(), 320, 1e-4);
    EXPECT_NEAR(shown.height(), 460.2, 0.05);
    EXPECT_EQ(paintView->canvasView()->bounds(), gfx::Rect(0, 0, 712, 1024)); // still canvas pixels
    EXPECT_FALSE(paintView->delaysContentTouches());
    EXPECT_EQ(paintView->delegate(), paintView.get());
    EXPECT_EQ(paintView->viewForZoomingInScrollView(*paintView), paintView->canvasView().get());
    EXPECT_EQ(paintView->prevFireDate(), 0.0);
}

TEST_F(PaintViewTest, ModeSwitchesGiveTheBrushItsColourModeBack)
{
    BrushTool& brush = paintView->canvasView()->brushTool();
    brush.setMode(BrushTool::kModePhoto);
    paintView->setMode(PaintView::kModeMove);
    EXPECT_TRUE(paintView->isScrollEnabled());
    EXPECT_FALSE(paintView->canvasView()->isUserInteractionEnabled());
    EXPECT_EQ(brush.mode(), BrushTool::kModePhoto);
    paintView->setMode(PaintView::kModePaint);
    EXPECT_FALSE(paintView->isScrollEnabled());
    EXPECT_TRUE(paintView->canvasView()->isUserInteractionEnabled());
    EXPECT_EQ(brush.mode(), BrushTool::kModePhoto);

    paintView->setMode(PaintView::kModeErase);
    EXPECT_EQ(brush.mode(), BrushTool::kModeEraser);
    paintView->setMode(PaintView::kModeMove); // leaving erase mode remembers nothing
    paintView->setMode(PaintView::kModePaint);
    EXPECT_EQ(brush.mode(), BrushTool::kModePhoto);
}

TEST_F(PaintViewTest, MoveModeNeitherPaintsNorTellsTheDelegate)
{
    paintView->setMode(PaintView::kModeMove);
    stroke({100, 100}, {200, 300}, 0.5, 1.0);
    runUntil(5);
    EXPECT_TRUE(delegate.calls.empty());
    EXPECT_FALSE(paintView->isPainting());
    EXPECT_EQ(alphaUnder(canvas().curStrokeLayer(), {150, 200}), 0);
    EXPECT_FALSE(DataModel::sharedDataModel()->changesMade());
}

TEST_F(PaintViewTest, APauseWithinTwoSecondsJoinsTheSnapshotTaken)
{
    // A ends at 1.0; B runs 2.0 - 2.5. A's timer at 3.0 takes a snapshot holding both; B's at 4.5
    // finds it 1.5 s old and does nothing.
    stroke({60, 60}, {100, 100}, 0.5, 1.0);
    EXPECT_EQ(delegate.calls, std::vector<std::string>{"start"});
    EXPECT_FALSE(paintView->isPainting());
    stroke({200, 300}, {240, 340}, 2.0, 2.5);
    runUntil(2.99);
    EXPECT_GT(alphaUnder(canvas().curStrokeLayer(), {100, 100}), 0);
    runUntil(3.0);
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"start", "start", "end"}));
    EXPECT_EQ(alphaUnder(canvas().curStrokeLayer(), {100, 100}), 0);
    EXPECT_GT(alphaUnder(canvas().prevStrokeLayer(), {100, 100}), 0);
    EXPECT_GT(alphaUnder(canvas().prevStrokeLayer(), {240, 340}), 0);
    runUntil(6);
    EXPECT_EQ(delegate.calls.size(), 3u);
}

TEST_F(PaintViewTest, AFingerDownHoldsTheSnapshotBackUntilItsOwnTimer)
{
    // A ends at 1.0; B runs 2.5 - 3.5. A's timer at 3.0 finds a finger down; B's at 5.5 takes it.
    stroke({60, 60}, {100, 100}, 0.5, 1.0);
    runUntil(2.5);
    window->touchDown(1, {200, 300}, now());
    runUntil(3.2);
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"start", "start"}));
    window->touchMove(1, {240, 340}, now());
    runUntil(3.5);
    window->touchUp(1, {240, 340}, now());
    runUntil(5.49);
    EXPECT_EQ(delegate.calls.size(), 2u);
    runUntil(5.5);
    EXPECT_EQ(delegate.calls.back(), "end");
    EXPECT_GT(alphaUnder(canvas().prevStrokeLayer(), {100, 100}), 0);
    EXPECT_GT(alphaUnder(canvas().prevStrokeLayer(), {240, 340}), 0);
}

TEST_F(PaintViewTest, GoingAwayWithSnapshotsPendingIsSafe)
{
    stroke({60, 60}, {100, 100}, 0.1, 0.2);
    stroke({60, 60}, {100, 100}, 0.3, 0.4); // two timers pending
    paintView->removeFromSuperview();
    paintView.reset();
    runUntil(5);
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"start", "start"}));
}

TEST_F(PaintViewTest, PinchZoomsWithinTheLimitsInMoveMode)
{
    paintView->setMode(PaintView::kModeMove);
    auto pinch = [&](double fromHalf, double toHalf) {
        const double t = now();
        window->sendTouches(ui::TouchPhase::Began, {{1, {160 - fromHalf, 200}}, {2, {160 + fromHalf, 200}}}, t);
        for (int i = 1; i <= 5; ++i) {
            const double half = fromHalf + (toHalf - fromHalf) * i / 5;
            window->sendTouches(ui::TouchPhase::Moved, {{1, {160 - half, 200}}, {2, {160 + half, 200}}}, t + 0.01 * i);
        }
        window->sendTouches(ui::TouchPhase::Ended, {{1, {160 - toHalf, 200}}, {2, {160 + toHalf, 200}}}, t + 0.1);
    };
    pinch(20, 40); // twice the distance
    EXPECT_NEAR(paintView->zoomScale(), 2 * paintView->minimumZoomScale(), 1e-6);
    pinch(10, 150); // far beyond the maximum
    EXPECT_DOUBLE_EQ(paintView->zoomScale(), 2.0);
    pinch(150, 5); // far below the minimum
    EXPECT_DOUBLE_EQ(paintView->zoomScale(), paintView->minimumZoomScale());
    EXPECT_TRUE(delegate.calls.empty());
}

} // namespace
