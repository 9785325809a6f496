#include "Toolkit/ViewController.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Rect;
using Log = std::vector<std::string>;

class TouchDispatchTest : public ToolkitTest {
protected:
    std::shared_ptr<RecordingView> add(ui::View& parent, const char* name, const Rect& frame)
    {
        auto v = std::make_shared<RecordingView>(log, name, frame);
        parent.addSubview(v);
        return v;
    }
    Log log;
};

TEST_F(TouchDispatchTest, ATouchSticksToTheViewItBeganOnAndReportsLocationsInIt)
{
    auto a = add(*window, "a", Rect(0, 0, 100, 100));
    auto b = add(*window, "b", Rect(100, 0, 100, 100));
    window->touchDown(1, {50, 50}, 0.0);
    window->touchMove(1, {150, 60}, 0.1); // over b now, still a's touch
    EXPECT_EQ(a->lastLocation, (gfx::Point{150, 60}));
    window->touchUp(1, {160, 70}, 0.2);
    EXPECT_EQ(log, (Log{"a.began", "a.moved", "a.ended"}));
    EXPECT_EQ(window->activeTouchCount(), 0u);
}

TEST_F(TouchDispatchTest, UnhandledTouchesTravelUpTheResponderChainThroughTheController)
{
    auto parent = add(*window, "parent", Rect(0, 0, 200, 200));
    ui::ViewController controller;
    auto child = std::make_shared<ui::View>(Rect(10, 10, 50, 50)); // does not handle touches
    controller.setView(child);
    parent->addSubview(child);
    EXPECT_EQ(child->nextResponder(), &controller);
    EXPECT_EQ(controller.nextResponder(), parent.get());
    window->touchDown(1, {20, 20}, 0);
    window->touchUp(1, {20, 20}, 0.1);
    EXPECT_EQ(log, (Log{"parent.began", "parent.ended"}));
    EXPECT_EQ(parent->lastLocation, (gfx::Point{20, 20}));
}

TEST_F(TouchDispatchTest, AForwardingViewAndItsSuperviewBothSeeTheTouchInOrder)
{
    auto outer = add(*window, "outer", Rect(0, 0, 300, 300));
    auto inner = add(*outer, "inner", Rect(10, 10, 100, 100));
    inner->forward = true;
    window->touchDown(1, {20, 20}, 0);
    EXPECT_EQ(log, (Log{"inner.began", "outer.began"}));
}

TEST_F(TouchDispatchTest, AViewRemovedDuringItsOwnTouchHandlingKeepsReceivingSafely)
{
    auto doomed = add(*window, "doomed", Rect(0, 0, 100, 100));
    std::weak_ptr<ui::View> watch = doomed;
    RecordingView* raw = doomed.get();
    raw->onBegan = [raw] { raw->removeFromSuperview(); };
    doomed.reset(); // only the tree and the touch hold it now
    window->touchDown(1, {10, 10}, 0);
    EXPECT_FALSE(watch.expired()); // the touch keeps it alive
    raw->onBegan = nullptr;
    window->touchMove(1, {20, 20}, 0.1);
    window->touchUp(1, {20, 20}, 0.2);
    EXPECT_EQ(log, (Log{"doomed.began", "doomed.moved", "doomed.ended"}));
    EXPECT_TRUE(watch.expired());
}

TEST_F(TouchDispatchTest, TouchesOutsideEveryViewAndUnknownIdsAreIgnored)
{
    add(*window, "a", Rect(0, 0, 100, 100));
    window->touchDown(1, {500, 500}, 0); // outside the window
    window->touchMove(1, {50, 50}, 0.1);
    window->touchUp(2, {50, 50}, 0.1); // never began
    window->touchDown(3, {std::nan(""), 5}, 0.2);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(window->activeTouchCount(), 0u);
}

TEST_F(TouchDispatchTest, MultiTouchIsGroupedPerViewAndSingleTouchViewsSeeOnlyTheFirstFinger)
{
    auto single = add(*window, "single", Rect(0, 0, 100, 100));
    auto multi = add(*window, "multi", Rect(100, 0, 100, 100));
    multi->setMultipleTouchEnabled(true);
    std::size_t seen = 0;
    multi->onBegan = [&] {}; // logged only
    window->sendTouches(ui::TouchPhase::Began, {{1, {10, 10}}, {2, {20, 20}}, {3, {110, 10}}, {4, {120, 10}}}, 0);
    EXPECT_EQ(log, (Log{"single.began", "multi.began"}));
    EXPECT_EQ(window->activeTouchCount(), 3u);
    struct Counter : ui::View {
        std::size_t* seen;
        explicit Counter(std::size_t* s) : View(Rect(0, 200, 100, 100)), seen(s) { setMultipleTouchEnabled(true); }
        void touchesMoved(const ui::TouchSet& t, const ui::Event& e) override
        {
            *seen = t.count() * 10 + e.allTouches().count();
        }
    };
    auto counter = std::make_shared<Counter>(&seen);
    window->addSubview(counter);
    window->sendTouches(ui::TouchPhase::Began, {{5, {10, 210}}, {6, {20, 210}}}, 0.1);
    window->sendTouches(ui::TouchPhase::Moved, {{5, {15, 215}}, {6, {25, 215}}}, 0.2);
    EXPECT_EQ(seen, 25u); // two changed touches of five down
    window->cancelAllTouches(0.3);
    EXPECT_EQ(window->activeTouchCount(), 0u);
    EXPECT_EQ(log.back(), "multi.cancelled");
}

TEST_F(TouchDispatchTest, QuickSecondTapNearTheFirstCountsTwo)
{
    int taps = 0;
    struct Tapper : ui::View {
        int* taps;
        explicit Tapper(int* t) : View(Rect(0, 0, 100, 100)), taps(t) {}
        void touchesBegan(const ui::TouchSet& t, const ui::Event&) override { *taps = t.anyObject()->tapCount(); }
    };
    window->addSubview(std::make_shared<Tapper>(&taps));
    window->touchDown(1, {50, 50}, 0);
    window->touchUp(1, {50, 50}, 0.05);
    window->touchDown(1, {52, 51}, 0.2);
    EXPECT_EQ(taps, 2);
    window->touchUp(1, {52, 51}, 0.25);
    window->touchDown(1, {52, 51}, 1.0); // too late
    EXPECT_EQ(taps, 1);
}

} // namespace
