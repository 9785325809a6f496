#include "Graphics/PixelFormat.h"
#include "Toolkit/Transition.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Color;
using gfx::Rect;

class AnimationTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        window = std::make_shared<ui::Window>(Rect(0, 0, 40, 30));
        ASSERT_TRUE(window->setScale(1));
        window->setBackgroundColor(Color::white());
    }
    int redAt(int x, int y)
    {
        window->display();
        return static_cast<int>(gfx::redOf(window->backingStore()->pixelAt(x, y)));
    }
    std::uint32_t pixel(int x, int y)
    {
        window->display();
        return window->backingStore()->pixelAt(x, y);
    }
};

TEST_F(AnimationTest, AlphaFadeReportsTheTargetAtOnceWhileDrawingShowsInBetweenValues)
{
    auto black = coloredView(Rect(0, 0, 40, 30), Color::black());
    window->addSubview(black);
    EXPECT_EQ(redAt(5, 5), 0);
    bool stopped = false;
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(2.0);
    ui::View::setAnimationCurve(ui::AnimationCurve::Linear);
    ui::View::setAnimationDidStopCallback([&](bool finished) { stopped = finished; });
    black->setAlpha(0);
    ui::View::commitAnimations();
    EXPECT_EQ(black->alpha(), 0.0);
    EXPECT_TRUE(window->hasRunningAnimations());
    EXPECT_EQ(redAt(5, 5), 0); // nothing has moved yet
    runUntil(0.5);
    EXPECT_NEAR(redAt(5, 5), 64, 2); // a quarter of the way to white
    runUntil(1.0);
    EXPECT_NEAR(redAt(5, 5), 128, 2);
    EXPECT_FALSE(stopped);
    runUntil(1.999);
    EXPECT_FALSE(stopped);
    runUntil(2.0);
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(window->hasRunningAnimations());
    EXPECT_EQ(redAt(5, 5), 255);
}

TEST_F(AnimationTest, EaseInStartsSlowAndANewAnimationStartsFromWhatIsOnScreen)
{
    auto v = std::make_shared<ui::View>(Rect(0, 0, 10, 10));
    window->addSubview(v);
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(1.0);
    ui::View::setAnimationCurve(ui::AnimationCurve::EaseIn);
    v->setAlpha(0);
    ui::View::commitAnimations();
    runUntil(0.5);
    // The cubic ease-in (0.42, 0, 1, 1) is at 0.31536 halfway.
    EXPECT_NEAR(v->presentationAlpha(), 1 - 0.3153568, 1e-6);
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(1.0);
    ui::View::setAnimationCurve(ui::AnimationCurve::Linear);
    v->setAlpha(1);
    ui::View::commitAnimations();
    EXPECT_NEAR(v->presentationAlpha(), 1 - 0.3153568, 1e-6);
    runUntil(1.0);
    EXPECT_NEAR(v->presentationAlpha(), (1 - 0.3153568 + 1) / 2, 1e-6);
    EXPECT_EQ(v->alpha(), 1.0);
}

// Ease-out (0, 0, 0.58, 1) mirrors ease-in; ease-in-out (0.42, 0, 0.58, 1) is point-symmetric.
TEST_F(AnimationTest, EaseOutAndEaseInOutAreTheStandardCubics)
{
    EXPECT_NEAR(ui::animationCurveValue(ui::AnimationCurve::EaseOut, 0.5), 1 - 0.3153568, 1e-6);
    EXPECT_NEAR(ui::animationCurveValue(ui::AnimationCurve::EaseInOut, 0.5), 0.5, 1e-9);
    EXPECT_NEAR(ui::animationCurveValue(ui::AnimationCurve::EaseInOut, 0.2),
                1 - ui::animationCurveValue(ui::AnimationCurve::EaseInOut, 0.8), 1e-9);
    EXPECT_LT(ui::animationCurveValue(ui::AnimationCurve::EaseInOut, 0.2), 0.2 * 0.5);
}

TEST_F(AnimationTest, FrameAnimationMovesTheDrawingButNotTheModelOrHitTesting)
{
    auto v = coloredView(Rect(0, 0, 10, 10), Color::black());
    window->addSubview(v);
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(1.0);
    ui::View::setAnimationCurve(ui::AnimationCurve::Linear);
    v->setFrame(Rect(20, 0, 10, 10));
    ui::View::commitAnimations();
    EXPECT_EQ(v->frame(), Rect(20, 0, 10, 10));
    EXPECT_EQ(window->hitTest({25, 5}), v.get());
    runUntil(0.5); // drawn at x = 10..20
    EXPECT_EQ(redAt(5, 5), 255);
    EXPECT_EQ(redAt(15, 5), 0);
    EXPECT_EQ(redAt(25, 5), 255);
    runUntil(1.0);
    EXPECT_EQ(redAt(15, 5), 255);
    EXPECT_EQ(redAt(25, 5), 0);
}

TEST_F(AnimationTest, ZeroDurationAppliesAtOnceAndStillReportsTheStop)
{
    auto v = std::make_shared<ui::View>(Rect(0, 0, 10, 10));
    window->addSubview(v);
    int stops = 0;
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(0);
    ui::View::setAnimationDidStopCallback([&](bool) { ++stops; });
    v->setAlpha(0.25);
    ui::View::commitAnimations();
    EXPECT_EQ(v->presentationAlpha(), 0.25);
    runUntil(0.0);
    EXPECT_EQ(stops, 1);
}

TEST_F(AnimationTest, AnimatingAViewThatGoesAwayIsHarmless)
{
    bool stopped = false;
    {
        auto v = std::make_shared<ui::View>(Rect(0, 0, 10, 10));
        window->addSubview(v);
        ui::View::beginAnimations();
        ui::View::setAnimationDidStopCallback([&](bool) { stopped = true; });
        v->setAlpha(0);
        ui::View::commitAnimations();
        v->removeFromSuperview();
    }
    window->display();
    runUntil(1.0);
    EXPECT_TRUE(stopped);
}

TEST_F(AnimationTest, CurlUpPeelsTheOldPageAwayOverItsDurationThenShowsTheNewOne)
{
    auto container = std::make_shared<ui::View>(Rect(0, 0, 40, 30));
    window->addSubview(container);
    auto oldPage = coloredView(Rect(0, 0, 40, 30), Color{1, 0, 0, 1});
    auto newPage = coloredView(Rect(0, 0, 40, 30), Color{0, 0, 1, 1});
    container->addSubview(oldPage);
    window->display();
    bool done = false;
    ui::Transition::curl(*container, oldPage, newPage, ui::CurlDirection::Up, 1.0, [&] { done = true; });
    EXPECT_EQ(container->subviews().size(), 1u);
    EXPECT_EQ(container->subviews()[0], newPage);
    constexpr std::uint32_t red = gfx::packARGB(255, 255, 0, 0), blue = gfx::packARGB(255, 0, 0, 255);
    EXPECT_EQ(pixel(38, 28), red); // still the old look at the start
    EXPECT_EQ(pixel(1, 1), red);
    runUntil(0.5);
    EXPECT_EQ(pixel(39, 29), blue); // the corner has lifted
    EXPECT_EQ(pixel(0, 0), red);    // the far corner has not
    std::uint32_t nearFold = pixel(20, 15);
    EXPECT_NE(nearFold, red); // the fold and its flap lie across the middle
    EXPECT_FALSE(done);
    runUntil(1.0);
    EXPECT_TRUE(done);
    EXPECT_EQ(pixel(0, 0), blue);
    EXPECT_EQ(pixel(39, 29), blue);
}

TEST_F(AnimationTest, CurlDownLaysTheNewPageBackOverTheOldOne)
{
    auto container = std::make_shared<ui::View>(Rect(0, 0, 40, 30));
    window->addSubview(container);
    auto page = coloredView(Rect(0, 0, 40, 30), Color{1, 0, 0, 1});
    auto back = coloredView(Rect(0, 0, 40, 30), Color{0, 0, 1, 1});
    container->addSubview(page);
    ui::Transition::curl(*container, page, back, ui::CurlDirection::Down, 0.75);
    constexpr std::uint32_t red = gfx::packARGB(255, 255, 0, 0), blue = gfx::packARGB(255, 0, 0, 255);
    EXPECT_EQ(pixel(0, 0), red);
    runUntil(0.375);
    EXPECT_EQ(pixel(0, 0), blue);  // the new page comes down from the far corner
    EXPECT_EQ(pixel(39, 29), red); // the old one still shows at the peeling corner
    runUntil(0.75);
    EXPECT_EQ(pixel(39, 29), blue);
}

} // namespace
