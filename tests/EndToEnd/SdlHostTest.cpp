#include <gtest/gtest.h>

#include <cerrno>

#include <chrono>
#include <cstdlib>

#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/Paths.h"
#include "GalleryViewController.h"
#include "Host/ApplicationMain.h"
#include "Host/ScrollZoom.h"
#include "Host/SdlHost.h"
#include "Host/SdlInput.h"
#include "Host/VisibleViews.h"
#include "KanvaroAppDelegate.h"
#include "PaintView.h"
#include "Recovery.h"
#include "Support/RecordingView.h"
#include "Support/TempFolder.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/ScrollView.h"
#include "Toolkit/Window.h"
#include <filesystem>

using host::SdlHost;
using host::SdlInput;
using test_support::RecordingView;
using ui::TouchPhase;

namespace {

SDL_Event mouseButton(Uint32 type, int x, int y, Uint32 which = 0)
{
    SDL_Event e{};
    e.button.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.which = which;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event finger(Uint32 type, SDL_FingerID id, float x, float y)
{
    SDL_Event e{};
    e.tfinger.type = type;
    e.tfinger.fingerId = id;
    e.tfinger.x = x;
    e.tfinger.y = y;
    return e;
}

class SdlInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window.addSubview(m_view);
        m_view->setMultipleTouchEnabled(true);
        m_input.setGeometry(640, 960, 640, 960, host::fitScreen(640, 960, {320, 480})); // a 2x window
    }
    ui::Window m_window;
    std::shared_ptr<RecordingView> m_view = std::make_shared<RecordingView>(gfx::Rect(0, 0, 320, 480));
    SdlInput m_input{m_window};
};

TEST_F(SdlInputTest, LeftMouseButtonIsOneFingerInPoints)
{
    m_input.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 100, 200), 1);
    SDL_Event motion{};
    motion.motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 300;
    motion.motion.y = 400;
    m_input.handle(motion, 2);
    m_input.handle(mouseButton(SDL_MOUSEBUTTONUP, 300, 400), 3);
    m_input.handle(motion, 4); // hovering afterwards: no touch
    ASSERT_EQ(m_view->log.size(), 3u);
    EXPECT_EQ(m_view->log[0].location, (gfx::Point{50, 100}));
    EXPECT_EQ(m_view->log[1].phase, TouchPhase::Moved);
    EXPECT_EQ(m_view->log[2].location, (gfx::Point{150, 200}));

    // Mouse events that a touch screen synthesises are ignored: its fingers come on their own.
    EXPECT_FALSE(m_input.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 10, 10, SDL_TOUCH_MOUSEID), 5));
    EXPECT_EQ(m_view->log.size(), 3u);
}

TEST_F(SdlInputTest, EachTouchScreenFingerIsItsOwnTouch)
{
    m_input.handle(finger(SDL_FINGERDOWN, 7, 0.25f, 0.5f), 1);
    m_input.handle(finger(SDL_FINGERDOWN, 9, 0.75f, 0.5f), 1);
    EXPECT_EQ(m_window.activeTouchCount(), 2u);
    m_input.handle(finger(SDL_FINGERMOTION, 9, 1.0f, 0.5f), 2);
    m_input.handle(finger(SDL_FINGERUP, 7, 0.25f, 0.5f), 3);
    m_input.handle(finger(SDL_FINGERUP, 9, 1.0f, 0.5f), 3);
    m_input.handle(finger(SDL_FINGERMOTION, 9, 0.5f, 0.5f), 4); // already lifted: ignored
    EXPECT_EQ(m_window.activeTouchCount(), 0u);
    ASSERT_EQ(m_view->log.size(), 5u);
    EXPECT_EQ(m_view->log[0].location, (gfx::Point{80, 240}));
    EXPECT_EQ(m_view->log[2].location, (gfx::Point{320, 240}));

    m_input.handle(finger(SDL_FINGERDOWN, 3, 0.5f, 0.5f), 5);
    m_input.cancelAll(6);
    EXPECT_EQ(m_view->log.back().phase, TouchPhase::Cancelled);
    EXPECT_EQ(m_window.activeTouchCount(), 0u);
}

// A HiDPI window (twice as many pixels as coordinates) wider than the screen: input goes through
// the pixel density, then the same fit the screen is drawn with; the border takes no touches.
TEST_F(SdlInputTest, MapsThroughPixelDensityAndTheCentredFit)
{
    const host::ScreenFit fit = host::fitScreen(1600, 1200, {320, 480}); // 2.5x, 400 px of border each side
    m_input.setGeometry(800, 600, 1600, 1200, fit);
    m_input.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 100, 300), 1); // in the left border
    EXPECT_EQ(m_window.activeTouchCount(), 0u);
    m_input.handle(finger(SDL_FINGERDOWN, 4, 0.9f, 0.5f), 1); // in the right border
    EXPECT_EQ(m_window.activeTouchCount(), 0u);
    EXPECT_TRUE(m_view->log.empty());

    m_input.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 250, 100), 2);
    m_input.handle(mouseButton(SDL_MOUSEBUTTONUP, 150, 100), 3); // dragged out: still delivered
    m_input.handle(finger(SDL_FINGERDOWN, 5, 0.5f, 0.25f), 4);
    ASSERT_EQ(m_view->log.size(), 3u);
    EXPECT_EQ(m_view->log[0].location, (gfx::Point{40, 80}));
    EXPECT_EQ(m_view->log[1].location, (gfx::Point{-40, 80}));
    EXPECT_EQ(m_view->log[2].location, (gfx::Point{160, 120}));
}

struct ZoomContent : ui::ScrollViewDelegate {
    std::shared_ptr<ui::View> content = std::make_shared<ui::View>(gfx::Rect(0, 0, 200, 200));
    ui::View* viewForZoomingInScrollView(ui::ScrollView&) override { return content.get(); }
};

TEST(SdlInputZoom, CtrlWheelZoomsAndThePlainWheelScrollsTheViewUnderThePointer)
{
    ui::Window window;
    ZoomContent zoom;
    auto scroll = std::make_shared<ui::ScrollView>(gfx::Rect(0, 0, 200, 200));
    scroll->setDelegate(&zoom);
    scroll->setContentSize({200, 200});
    scroll->setMaximumZoomScale(4);
    scroll->addSubview(zoom.content);
    window.addSubview(scroll);
    SdlInput input(window);
    input.setGeometry(320, 480, 320, 480, host::fitScreen(320, 480, {320, 480}));

    SDL_Event wheel{};
    wheel.wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.preciseY = 1;
    wheel.wheel.mouseX = 100;
    wheel.wheel.mouseY = 100;
    SDL_SetModState(KMOD_NONE);
    scroll->setContentSize({200, 600});
    wheel.wheel.preciseY = -1.5;
    input.handle(wheel, 0); // a plain wheel scrolls and does not zoom
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 1);
    EXPECT_EQ(scroll->contentOffset(), (gfx::Point{0, 1.5 * host::kScrollPerWheelNotch}));
    scroll->setContentOffset({0, 0});
    wheel.wheel.preciseY = 1;
    SDL_SetModState(KMOD_LCTRL);
    input.handle(wheel, 0);
    EXPECT_NEAR(scroll->zoomScale(), host::kZoomPerWheelNotch, 1e-9);
    SDL_SetModState(KMOD_NONE);

    EXPECT_FALSE(host::zoomScrollViewAt(window, {250, 300}, 2)); // no scroll view there
    EXPECT_FALSE(host::zoomScrollViewAt(window, {100, 100}, 0));
    EXPECT_TRUE(host::zoomScrollViewAt(window, {100, 100}, 2));
    EXPECT_NEAR(scroll->zoomScale(), 2 * host::kZoomPerWheelNotch, 1e-9);
}

// The real host under SDL's dummy video driver: opens, draws, quits on a close request.
TEST(SdlHostDummy, OpensRunsAnIterationAndClosesCleanly)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // Closing mid-stroke saves the painting: keep it out of the user's documents folder.
    const test_support::TempFolder documents("kanvaro-sdl-docs");
    fnd::setDocumentsPath(documents.path().string());
    auto host = SdlHost::create("Kanvaro test", 2);
    ASSERT_TRUE(host);
    EXPECT_EQ(host->scale(), 2);
    EXPECT_EQ(host->window().backingStore()->width(), 640);

    KanvaroAppDelegate app;
    host::Application hooks{[&](ui::Window& w) { app.applicationDidFinishLaunching(w); },
                            [&] { app.applicationWillTerminate(); }};
    host->launch(hooks);
    EXPECT_EQ(host->framesPresented(), 1);
    // The application opens in the gallery; a blank canvas slides in over it.
    app.galleryViewController()->blankSelected();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (host->window().hasRunningAnimations() && std::chrono::steady_clock::now() < giveUp)
        host->runOnce();
    ASSERT_NE(app.paintView(), nullptr);

    // Resized to 1.5 times the phone, then wider than tall: redrawn at the scale that fits.
    SDL_Window* sdlWindow = host->sdlWindow();
    ASSERT_TRUE(sdlWindow);
    SDL_SetWindowSize(sdlWindow, 480, 720);
    host->runOnce();
    EXPECT_EQ(host->scale(), 1.5);
    EXPECT_EQ(host->window().backingStore()->height(), 720);
    SDL_SetWindowSize(sdlWindow, 1000, 960);
    host->runOnce();
    EXPECT_EQ(host->scale(), 2);
    EXPECT_EQ(host->screenFit().originX, 180);
    EXPECT_EQ(ui::screenScale(), 2);

    SDL_Event down = mouseButton(SDL_MOUSEBUTTONDOWN, 180 + 200, 400);
    SDL_PushEvent(&down);
    host->runOnce();
    EXPECT_TRUE(app.paintView()->isPainting());

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    host->run(hooks); // returns once the quit request is seen
    EXPECT_TRUE(host->isQuitting());
    EXPECT_TRUE(app.hasTerminated());
    bool saved = false;
    for (const auto& entry : std::filesystem::directory_iterator(documents.path()))
        saved = saved || entry.path().extension() == ".art";
    EXPECT_TRUE(saved);
    fnd::setDocumentsPath("");
}

// A quit from the system (SDL reports SIGTERM as SDL_QUIT) while a save fails: with the window
// shown the application asks and keeps running; hidden, nobody can answer: a recovery copy, the
// reason on stderr and exit status 1.
TEST(SdlHostDummy, AQuitWithAFailingSaveAsksWhileShownAndEndsWithStatusOneWhenHidden)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const test_support::TempFolder documents("kanvaro-sdl-docs");
    fnd::setDocumentsPath(documents.path().string());
    auto host = SdlHost::create("Kanvaro test", 1);
    ASSERT_TRUE(host);
    KanvaroAppDelegate app;
    const host::Application hooks = host::applicationHooks(app);
    host->launch(hooks);
    app.galleryViewController()->blankSelected();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (host->window().hasRunningAnimations() && std::chrono::steady_clock::now() < giveUp)
        host->runOnce();
    DataModel::sharedDataModel()->setChangesMade(true);
    fnd::setWriteFault(documents.path().string(), ENOSPC);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    host->runOnce();
    EXPECT_FALSE(host->isQuitting());
    EXPECT_TRUE(host::findShowingAlert(host->window(), "Error"));

    SDL_HideWindow(host->sdlWindow());
    SDL_PushEvent(&quit);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host->run(hooks), 1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("No space left on device"), std::string::npos) << said;
    EXPECT_TRUE(app.hasTerminated());
    EXPECT_TRUE(
        std::filesystem::exists(recovery::copyPath(recovery::folder(), DataModel::sharedDataModel()->fileTitle())));
    fnd::setWriteFault(documents.path().string(), 0);
    DataModel::releaseSharedDataModel();
    fnd::setDocumentsPath("");
}

} // namespace
