// Panning and pinch-zooming through the window's touch dispatch, and touches reaching the
// content while scrolling is off.
#include "Toolkit/ScrollView.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Point;
using gfx::Rect;

class ZoomingScrollView : public ui::ScrollView, public ui::ScrollViewDelegate {
public:
    explicit ZoomingScrollView(const Rect& frame) : ScrollView(frame) { setDelegate(this); }
    ui::View* viewForZoomingInScrollView(ui::ScrollView&) override { return content.get(); }
    ui::ViewRef content;
};

class ScrollViewTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        scroll = std::make_shared<ZoomingScrollView>(Rect(0, 0, 200, 200));
        scroll->content = std::make_shared<ui::View>(Rect(0, 0, 400, 400));
        scroll->addSubview(scroll->content);
        scroll->setContentSize({400, 400});
        scroll->setMinimumZoomScale(0.5);
        scroll->setMaximumZoomScale(2);
        window->addSubview(scroll);
    }
    void pinch(Point a0, Point b0, Point a1, Point b1)
    {
        // One finger after the other, the second landing on the content as well.
        window->touchDown(1, a0, 0);
        window->touchDown(2, b0, 0.01);
        window->sendTouches(ui::TouchPhase::Moved, {{1, a1}, {2, b1}}, 0.1);
        window->sendTouches(ui::TouchPhase::Ended, {{1, a1}, {2, b1}}, 0.2);
    }
    // Where a content point shows in the window.
    Point onScreen(Point contentPoint) const { return scroll->content->convertPointToView(contentPoint, nullptr); }

    std::shared_ptr<ZoomingScrollView> scroll;
};

TEST_F(ScrollViewTest, OneFingerPansWithinTheContentAndItsInsets)
{
    window->touchDown(1, {100, 100}, 0);
    window->touchMove(1, {60, 70}, 0.1);
    EXPECT_EQ(scroll->contentOffset(), (Point{40, 30}));
    EXPECT_EQ(onScreen({100, 100}), (Point{60, 70})); // the content follows the finger
    window->touchMove(1, {-500, -500}, 0.2);
    EXPECT_EQ(scroll->contentOffset(), (Point{200, 200})); // content end reached
    window->touchUp(1, {-500, -500}, 0.3);

    scroll->setContentInset({10, 0, 0, 0});
    window->touchDown(1, {100, 100}, 1);
    window->touchMove(1, {100, 500}, 1.1);
    EXPECT_EQ(scroll->contentOffset(), (Point{200, -10}));
    window->touchUp(1, {100, 500}, 1.2);
    EXPECT_FALSE(scroll->isDragging());
}

TEST_F(ScrollViewTest, PinchZoomsAboutTheFingersAndClampsAtTheLimits)
{
    pinch({80, 100}, {120, 100}, {70, 100}, {130, 100}); // spread 40 -> 60
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 1.5);
    EXPECT_EQ(scroll->contentSize(), (gfx::Size{600, 600}));
    EXPECT_EQ(scroll->content->transform(), gfx::AffineTransform::scaling(1.5, 1.5));
    EXPECT_EQ(onScreen({100, 100}), (Point{100, 100})); // the point between the fingers stays

    pinch({80, 100}, {120, 100}, {0, 100}, {200, 100}); // asks for 7.5
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 2);
    EXPECT_EQ(scroll->contentSize(), (gfx::Size{800, 800}));

    pinch({40, 100}, {160, 100}, {99, 100}, {101, 100}); // asks for 1/30
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 0.5);
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 0})); // content smaller than the view: at rest
    EXPECT_EQ(scroll->content->frame(), Rect(0, 0, 200, 200));
}

TEST_F(ScrollViewTest, LiftingOneFingerOfAPinchContinuesAsAPanWithoutAJump)
{
    window->touchDown(1, {80, 100}, 0);
    window->touchDown(2, {120, 100}, 0.01);
    window->sendTouches(ui::TouchPhase::Moved, {{1, {60, 100}}, {2, {140, 100}}}, 0.1);
    Point offset = scroll->contentOffset();
    window->touchUp(2, {140, 100}, 0.2);
    EXPECT_EQ(scroll->contentOffset(), offset);
    window->touchMove(1, {50, 90}, 0.3);
    EXPECT_EQ(scroll->contentOffset(), (Point{offset.x + 10, offset.y + 10}));
    window->touchUp(1, {50, 90}, 0.4);
}

TEST_F(ScrollViewTest, ZoomingContinuesFromAScaleSetDirectlyOnTheContent)
{
    // As a painting view fits a 712 x 1024 canvas into 320 x 480 by its own transform.
    auto fitted = std::make_shared<ZoomingScrollView>(Rect(0, 0, 320, 480));
    fitted->content = std::make_shared<ui::View>(Rect(0, 0, 712, 1024));
    fitted->addSubview(fitted->content);
    double z = 320.0 / 712;
    fitted->content->setTransform(gfx::AffineTransform::scaling(z, z).translated(0, 0));
    fitted->content->setCenter({712 * z / 2, 1024 * z / 2});
    fitted->setMinimumZoomScale(z);
    fitted->setMaximumZoomScale(2);
    EXPECT_DOUBLE_EQ(fitted->zoomScale(), 1); // untouched until it zooms itself

    fitted->zoomBy(2, {100, 100});
    EXPECT_NEAR(fitted->zoomScale(), 2 * z, 1e-12);
    Point stays = fitted->content->convertPointToView({100 / z, 100 / z}, fitted.get());
    EXPECT_NEAR(stays.x - fitted->contentOffset().x, 100, 1e-9);
    EXPECT_NEAR(stays.y - fitted->contentOffset().y, 100, 1e-9);
    fitted->zoomBy(100, {0, 0});
    EXPECT_DOUBLE_EQ(fitted->zoomScale(), 2);
    fitted->zoomBy(std::nan(""), {0, 0});
    fitted->setZoomScale(0.01);
    EXPECT_DOUBLE_EQ(fitted->zoomScale(), z);
}

TEST_F(ScrollViewTest, OffsetsSetInCodeStandAndNegativeInsetsShrinkThePanRange)
{
    scroll->setContentOffset({0, -44}); // as a screen makes room for a bar
    EXPECT_EQ(scroll->contentOffset(), (Point{0, -44}));
    EXPECT_EQ(onScreen({0, 0}), (Point{0, 44}));
    scroll->setContentOffset({std::nan(""), 0});
    EXPECT_EQ(scroll->contentOffset(), (Point{0, -44}));

    scroll->setContentInset({-44, 0, 0, 0});
    window->touchDown(1, {100, 100}, 0);
    window->touchMove(1, {100, 150}, 0.1); // pulls down: stops at the inset edge
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 44}));
    window->touchUp(1, {100, 150}, 0.2);
}

TEST_F(ScrollViewTest, WithScrollingOffTouchesReachTheContentAndNothingMoves)
{
    std::vector<std::string> log;
    auto canvas = std::make_shared<RecordingView>(log, "canvas", Rect(0, 0, 400, 400));
    scroll->content->addSubview(canvas);
    scroll->setScrollEnabled(false);
    window->touchDown(1, {50, 50}, 0);
    window->touchMove(1, {10, 10}, 0.1);
    window->touchUp(1, {10, 10}, 0.2);
    EXPECT_EQ(log, (std::vector<std::string>{"canvas.began", "canvas.moved", "canvas.ended"}));
    EXPECT_EQ(canvas->lastLocation, (Point{10, 10}));

    // Forwarded up the chain to the scroll view, a touch still does not scroll it.
    canvas->forward = true;
    window->touchDown(1, {50, 50}, 1);
    window->touchMove(1, {10, 10}, 1.1);
    window->touchUp(1, {10, 10}, 1.2);
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));

    // Back on, a view that does not take touches lets them through to the scroll view.
    scroll->setScrollEnabled(true);
    canvas->setUserInteractionEnabled(false);
    log.clear();
    window->touchDown(1, {50, 50}, 2);
    window->touchMove(1, {10, 10}, 2.1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(scroll->contentOffset(), (Point{40, 40}));
}

} // namespace

// A scroll view reaching below the window's edge counts that part as a bottom inset when it
// adjusts, so the content's end can still be brought into view; moving it moves the end with it.
TEST_F(ScrollViewTest, ThePartBelowTheWindowAddsToTheBottomInsetWhenItAdjusts)
{
    const double windowBottom = window->bounds().maxY();
    scroll->setFrame(Rect(0, windowBottom - 100, 200, 200)); // half of it out of sight
    scroll->setContentInset({0, 0, 5, 0});
    auto panToEnd = [&] {
        window->touchDown(1, {100, windowBottom - 10}, 0);
        window->touchMove(1, {100, -2000}, 0.1);
        window->touchUp(1, {100, -2000}, 5);
        return scroll->contentOffset().y;
    };
    EXPECT_EQ(panToEnd(), 205);
    scroll->setAdjustsInsetToWindow(true);
    EXPECT_EQ(scroll->adjustedContentInset().bottom, 105);
    EXPECT_EQ(panToEnd(), 305);
    scroll->setFrame(Rect(0, windowBottom - 150, 200, 200));
    EXPECT_EQ(panToEnd(), 255);
    EXPECT_EQ(scroll->contentInset().bottom, 5); // the inset set stays as it was
}
