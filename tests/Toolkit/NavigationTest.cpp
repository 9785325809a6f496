// Screens pushed, popped, presented and dismissed: what each screen hears, in which order, and
// that a change asked for in the middle of another never leaves screens half shown.
#include <string>
#include <vector>

#include "Toolkit/BarItemButton.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/StatusBar.h"
#include "Toolkit/ViewControllerTransitions.h"
#include "ToolkitTestSupport.h"

namespace {

using Log = std::vector<std::string>;

class Screen : public ui::ViewController {
public:
    Screen(Log& log, std::string name) : m_log(log), m_name(std::move(name)) { setTitle(m_name); }
    void viewDidLoad() override { note("didLoad"); }
    void viewWillAppear(bool) override { note("willAppear"); }
    void viewDidAppear(bool) override { note("didAppear"); }
    void viewWillDisappear(bool) override { note("willDisappear"); }
    void viewDidDisappear(bool) override { note("didDisappear"); }

private:
    void note(const char* what) { m_log.push_back(m_name + "." + what); }
    Log& m_log;
    std::string m_name;
};

class NavigationTest : public toolkit_test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        root = std::make_shared<Screen>(log, "A");
        navigation = std::make_shared<ui::NavigationController>(root);
        window->addSubview(navigation->viewRef());
    }
    std::shared_ptr<Screen> screen(const std::string& name) { return std::make_shared<Screen>(log, name); }
    Log take() { return std::exchange(log, {}); }
    void tap(ui::View& view)
    {
        gfx::Rect b = view.bounds();
        gfx::Point p = view.convertPointToView({b.midX(), b.midY()}, nullptr);
        window->touchDown(1, p, clock.clock().now());
        window->touchUp(1, p, clock.clock().now());
    }
    bool inWindow(ui::ViewController& c) { return c.isViewLoaded() && c.view()->window() == window.get(); }

    Log log;
    std::shared_ptr<Screen> root;
    std::shared_ptr<ui::NavigationController> navigation;
    static constexpr double kSlide = ui::kNavigationSlideDuration;
    static constexpr double kPresent = ui::ViewController::kPresentationDuration;
};

TEST_F(NavigationTest, PushAndBackButtonPopReportAppearanceInOrderAndOnlyAfterTheSlide)
{
    EXPECT_EQ(take(), (Log{"A.didLoad", "A.willAppear", "A.didAppear"})); // the root appears with the window
    auto b = screen("B");
    std::weak_ptr<Screen> weakB = b;
    navigation->pushViewController(b, true);
    EXPECT_EQ(take(), (Log{"B.didLoad", "A.willDisappear", "B.willAppear"}));
    EXPECT_EQ(b->navigationController(), navigation.get());
    runUntil(kSlide / 2);
    double x = b->view()->presentationCenter().x;
    EXPECT_GT(x, 160);
    EXPECT_LT(x, 480); // sliding in from the right
    EXPECT_TRUE(log.empty());
    runUntil(kSlide);
    EXPECT_EQ(take(), (Log{"A.didDisappear", "B.didAppear"}));
    EXPECT_FALSE(inWindow(*root));
    EXPECT_EQ(b->view()->frame(), gfx::Rect(0, 44, 320, 480)); // below the bar, its own height kept

    // The back button is titled after the screen below and pops this one.
    auto* back = dynamic_cast<ui::BarItemButton*>(navigation->navigationBar().leftView());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->accessibilityLabel(), "A");
    b.reset();
    tap(*back);
    EXPECT_EQ(take(), (Log{"B.willDisappear", "A.willAppear"}));
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    runUntil(kSlide * 1.9);
    EXPECT_TRUE(log.empty());
    runUntil(kSlide * 2);
    EXPECT_EQ(take(), (Log{"B.didDisappear", "A.didAppear"}));
    EXPECT_TRUE(weakB.expired()); // given up once its slide is over
    EXPECT_EQ(navigation->navigationBar().leftView(), nullptr);
    EXPECT_EQ(navigation->popViewControllerAnimated(true), nullptr); // the root stays
}

TEST_F(NavigationTest, PopDuringThePushSlideFinishesThePushFirst)
{
    take();
    auto b = screen("B");
    navigation->pushViewController(b, true);
    take();
    runUntil(kSlide / 3);
    tap(*navigation->navigationBar().leftView()); // touches wait for the slide
    EXPECT_TRUE(log.empty());
    navigation->popViewControllerAnimated(true);
    EXPECT_EQ(take(), (Log{"A.didDisappear", "B.didAppear", "B.willDisappear", "A.willAppear"}));
    runUntil(2 * kSlide);
    EXPECT_EQ(take(), (Log{"B.didDisappear", "A.didAppear"}));
    EXPECT_TRUE(inWindow(*root));
    EXPECT_FALSE(inWindow(*b));
    EXPECT_EQ(root->view()->presentationCenter(), (gfx::Point{160, 44 + 240}));
    EXPECT_EQ(navigation->navigationBar().items().size(), 1u);
    navigation->pushViewController(b, false); // the popped screen can come back
    EXPECT_EQ(take(), (Log{"A.willDisappear", "B.willAppear", "A.didDisappear", "B.didAppear"}));
}

TEST_F(NavigationTest, ModalNavigationSlidesUpOverTheScreenAndDownWhenDismissedFromInside)
{
    take();
    auto c = screen("C");
    auto modal = std::make_shared<ui::NavigationController>(c);
    root->presentModalViewController(modal, true);
    EXPECT_EQ(navigation->modalViewController(), modal.get()); // presented by the container
    EXPECT_EQ(take(), (Log{"C.didLoad", "A.willDisappear", "C.willAppear"}));
    runUntil(kPresent / 2);
    double y = modal->view()->presentationCenter().y;
    EXPECT_GT(y, 250);
    EXPECT_LT(y, 250 + 460); // rising from below the screen
    runUntil(kPresent);
    EXPECT_EQ(take(), (Log{"A.didDisappear", "C.didAppear"}));
    EXPECT_EQ(modal->view()->frame(), navigation->view()->frame());
    EXPECT_FALSE(inWindow(*navigation)); // the covered screen leaves the tree

    c->dismissModalViewControllerAnimated(true);
    EXPECT_EQ(take(), (Log{"C.willDisappear", "A.willAppear"}));
    EXPECT_TRUE(inWindow(*navigation));
    runUntil(2 * kPresent);
    EXPECT_EQ(take(), (Log{"C.didDisappear", "A.didAppear"}));
    EXPECT_EQ(navigation->modalViewController(), nullptr);
    EXPECT_FALSE(inWindow(*modal));
}

TEST_F(NavigationTest, SecondPresentationDuringTheSlideGoesOnTopAndOneDismissalTakesBoth)
{
    take();
    auto x = screen("X"), y = screen("Y");
    root->presentModalViewController(x, true);
    runUntil(kPresent / 4);
    root->presentModalViewController(y, true);
    EXPECT_EQ(x->modalViewController(), y.get());
    root->presentModalViewController(x, true); // already shown: refused
    runUntil(kPresent * 2);
    EXPECT_TRUE(inWindow(*y));
    EXPECT_FALSE(inWindow(*x));
    take();
    navigation->dismissModalViewControllerAnimated(true);
    runUntil(kPresent / 2);
    navigation->dismissModalViewControllerAnimated(true); // while sliding down: just finishes
    runUntil(kPresent * 4);
    EXPECT_EQ(take(), (Log{"Y.willDisappear", "X.willAppear", "Y.didDisappear", "X.didAppear", "X.willDisappear",
                           "A.willAppear", "X.didDisappear", "A.didAppear"}));
    EXPECT_FALSE(inWindow(*x));
    EXPECT_FALSE(inWindow(*y));
    EXPECT_TRUE(inWindow(*root));
    EXPECT_EQ(navigation->modalViewController(), nullptr);
}

TEST_F(NavigationTest, PushWhileAPresentationSlidesDownLeavesTheCoveredScreenUnannounced)
{
    // Picking a photo: the picker is dismissed and the painting screen pushed in one go. The
    // screen underneath must not hear viewDidAppear for a moment it was never shown.
    auto picker = screen("P");
    navigation->presentModalViewController(picker, false);
    take();
    root->dismissModalViewControllerAnimated(true); // from the screen under the bar, as the gallery does
    auto painting = screen("B");
    navigation->pushViewController(painting, true);
    runUntil(kPresent * 2);
    Log got = take();
    EXPECT_EQ(std::count(got.begin(), got.end(), "A.didAppear"), 0);
    EXPECT_EQ(std::count(got.begin(), got.end(), "B.didAppear"), 1);
    EXPECT_EQ(got.back(), "B.didAppear");
    EXPECT_TRUE(inWindow(*painting));
    EXPECT_FALSE(inWindow(*picker));
}

TEST_F(NavigationTest, StandaloneBarShowsItsItemsAndPopsItsBackItemWithoutADelegate)
{
    auto barRef = std::make_shared<ui::NavigationBar>();
    ui::NavigationBar& bar = *barRef;
    int done = 0;
    auto item = std::make_shared<ui::NavigationItem>("Paper Settings");
    item->setLeftBarButtonItem(ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Cancel, nullptr));
    item->setRightBarButtonItem(
        ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Done, [&](auto&) { ++done; }));
    bar.pushNavigationItem(item, false);
    ASSERT_TRUE(bar.leftView() && bar.rightView() && bar.titleView());
    EXPECT_EQ(bar.leftView()->accessibilityLabel(), "Cancel");
    EXPECT_EQ(bar.rightView()->accessibilityLabel(), "Done");
    EXPECT_LT(bar.leftView()->frame().maxX(), bar.titleView()->frame().minX());
    EXPECT_NEAR(bar.titleView()->frame().midX(), 160, 0.5);
    EXPECT_GT(bar.rightView()->frame().minX(), bar.titleView()->frame().maxX());

    ui::NavigationBar other;
    other.pushNavigationItem(item, false); // already on a bar: refused
    EXPECT_TRUE(other.items().empty());

    auto next = std::make_shared<ui::NavigationItem>("Next");
    bar.pushNavigationItem(next, false);
    auto* back = dynamic_cast<ui::Control*>(bar.leftView());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->accessibilityLabel(), "Paper Settings");
    back->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(bar.topItem(), item.get());
    EXPECT_EQ(bar.leftView()->accessibilityLabel(), "Cancel");

    // Changing the shown item's buttons shows the new ones at once.
    item->setRightBarButtonItem(ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Add, nullptr));
    EXPECT_EQ(bar.rightView()->accessibilityLabel(), "Add");
    EXPECT_EQ(done, 0);

    // Going back at once while the push still fades the old buttons out shows them fully again.
    window->addSubview(barRef);
    bar.pushNavigationItem(next, true);
    runUntil(kSlide / 2);
    bar.popNavigationItemAnimated(false);
    EXPECT_EQ(bar.leftView()->presentationAlpha(), 1.0);
    EXPECT_EQ(bar.leftView()->presentationCenter(), bar.leftView()->center());
}

} // namespace
