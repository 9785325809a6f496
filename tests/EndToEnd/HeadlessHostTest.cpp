#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "DataModel.h"
#include "Foundation/Paths.h"
#include "Foundation/RunLoop.h"
#include "Foundation/Timer.h"
#include "Host/ApplicationMain.h"
#include "Host/HeadlessHost.h"
#include "ImageIO/Decoder.h"
#include "KanvaroAppDelegate.h"
#include "PaintView.h"
#include "Support/RecordingView.h"
#include "Support/TempFolder.h"
#include "Toolkit/Button.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/Window.h"

using host::HeadlessHost;
using test_support::RecordingView;
using ui::TouchPhase;
namespace fs = std::filesystem;

namespace {

class HeadlessHostTest : public ::testing::Test {
protected:
    // A window-filling recording view under a launched host.
    void SetUp() override
    {
        m_view = std::make_shared<RecordingView>(gfx::Rect(0, 0, 320, 480));
        m_host.launch({[this](ui::Window& w) { w.addSubview(m_view); }, {}});
    }
    HeadlessHost m_host;
    std::shared_ptr<RecordingView> m_view;
};

TEST_F(HeadlessHostTest, TapTouchesDownAndUpAtThePointAndRefusesPointsOffScreen)
{
    double start = m_host.now();
    ASSERT_TRUE(m_host.tap(gfx::Point{100, 200}));
    ASSERT_EQ(m_view->log.size(), 2u);
    EXPECT_EQ(m_view->log[0].phase, TouchPhase::Began);
    EXPECT_EQ(m_view->log[1].phase, TouchPhase::Ended);
    EXPECT_EQ(m_view->log[1].location, (gfx::Point{100, 200}));
    EXPECT_DOUBLE_EQ(m_view->log[1].timestamp - m_view->log[0].timestamp, HeadlessHost::kTapSeconds);
    EXPECT_DOUBLE_EQ(m_host.now() - start, HeadlessHost::kTapSeconds);

    auto outside = m_host.tap(gfx::Point{320, 10});
    ASSERT_FALSE(outside);
    EXPECT_NE(outside.error().find("outside the window"), std::string::npos);
    EXPECT_FALSE(m_host.tap(gfx::Point{NAN, 10}));
    EXPECT_EQ(m_view->log.size(), 2u);
}

TEST_F(HeadlessHostTest, DragSendsEvenlySpacedMovesEndingAtTheTarget)
{
    double start = m_host.now();
    ASSERT_TRUE(m_host.drag({10, 10}, {110, 60}, 5, 0.5));
    auto moves = m_view->inPhase(TouchPhase::Moved);
    ASSERT_EQ(moves.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(moves[i].location.x, 10 + 20 * (i + 1), 1e-9) << i;
        EXPECT_NEAR(moves[i].location.y, 10 + 10 * (i + 1), 1e-9) << i;
        EXPECT_NEAR(moves[i].timestamp - start, 0.1 * (i + 1), 1e-9) << i;
    }
    auto ended = m_view->inPhase(TouchPhase::Ended);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].location, (gfx::Point{110, 60}));
    EXPECT_NEAR(m_host.now() - start, 0.5, 1e-9);

    // No moves: down, the time passes, up at the end point.
    m_view->log.clear();
    ASSERT_TRUE(m_host.drag({10, 10}, {50, 50}, 0, 0.2));
    ASSERT_EQ(m_view->log.size(), 2u);
    EXPECT_NEAR(m_view->log[1].timestamp - m_view->log[0].timestamp, 0.2, 1e-9);
    EXPECT_FALSE(m_host.drag({10, 10}, {50, 50}, -1, 0.2));
    EXPECT_FALSE(m_host.drag({10, 10}, {50, 50}, 3, -1));
}

TEST_F(HeadlessHostTest, PinchMovesTwoFingersApartOrTogether)
{
    m_view->setMultipleTouchEnabled(true);
    ASSERT_TRUE(m_host.pinch({160, 240}, 2));
    auto began = m_view->inPhase(TouchPhase::Began);
    ASSERT_EQ(began.size(), 2u);
    EXPECT_EQ(began[0].touchesInCall, 2);
    EXPECT_NEAR(std::abs(began[1].location.x - began[0].location.x), HeadlessHost::kPinchStartDistance, 1e-9);
    auto ended = m_view->inPhase(TouchPhase::Ended);
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_NEAR(std::abs(ended[1].location.x - ended[0].location.x), 2 * HeadlessHost::kPinchStartDistance, 1e-9);
    EXPECT_NEAR((ended[0].location.x + ended[1].location.x) / 2, 160, 1e-9);
    EXPECT_EQ(m_view->inPhase(TouchPhase::Moved).size(), 2u * HeadlessHost::kPinchMoves);

    m_view->log.clear();
    ASSERT_TRUE(m_host.pinch({160, 240}, 0.5));
    ended = m_view->inPhase(TouchPhase::Ended);
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_NEAR(std::abs(ended[1].location.x - ended[0].location.x), 0.5 * HeadlessHost::kPinchStartDistance, 1e-9);
    EXPECT_FALSE(m_host.pinch({160, 240}, 0));
}

TEST_F(HeadlessHostTest, AdvanceFiresTimersAtTheirExactTimes)
{
    double start = m_host.now();
    std::vector<double> ticks;
    double oneShot = -1;
    auto repeating = fnd::Timer::scheduledTimer(0.3, true, [&](fnd::Timer&) { ticks.push_back(m_host.now() - start); });
    fnd::Timer::scheduledTimer(1.0, false, [&](fnd::Timer&) { oneShot = m_host.now() - start; });
    m_host.advance(1.0);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_NEAR(ticks[0], 0.3, 1e-9);
    EXPECT_NEAR(ticks[2], 0.9, 1e-9);
    EXPECT_NEAR(oneShot, 1.0, 1e-9);
    EXPECT_NEAR(m_host.now() - start, 1.0, 1e-9);
    repeating->invalidate();
}

TEST_F(HeadlessHostTest, AdvanceDrawsFramesWhileAnAnimationRuns)
{
    m_host.advance(0.1);
    int before = m_view->draws;
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(0.5);
    m_view->setAlpha(0.5);
    ui::View::commitAnimations();
    m_host.advance(0.6);
    // About one frame every sixtieth of a second while the fade runs, then it stops drawing.
    EXPECT_GE(m_view->draws - before, 25);
    EXPECT_LE(m_view->draws - before, 40);
    EXPECT_FALSE(m_host.window().hasRunningAnimations());
}

TEST(HeadlessVisibility, FindsOnlyViewsAPersonCouldSee)
{
    HeadlessHost host;
    auto make = [](gfx::Rect frame, const char* label) {
        auto v = std::make_shared<ui::View>(frame);
        v->setAccessibilityLabel(label);
        return v;
    };
    auto back = make({0, 0, 100, 100}, "Same");
    auto front = make({0, 0, 100, 100}, "Same");
    auto hiddenParent = make({0, 0, 100, 100}, "");
    auto faded = make({0, 0, 50, 50}, "Faded");
    auto offScreen = make({400, 0, 50, 50}, "Off");
    auto clipper = make({0, 200, 50, 50}, "");
    auto clippedAway = make({60, 0, 20, 20}, "Clipped");
    host.launch({[&](ui::Window& w) {
                     w.addSubview(back);
                     w.addSubview(front);
                     w.addSubview(hiddenParent);
                     hiddenParent->addSubview(make({0, 0, 10, 10}, "InHidden"));
                     w.addSubview(faded);
                     w.addSubview(offScreen);
                     w.addSubview(clipper);
                     clipper->addSubview(clippedAway);
                 },
                 {}});
    hiddenParent->setHidden(true);
    faded->setAlpha(0);
    clipper->setClipsToBounds(true);

    EXPECT_EQ(host.findVisibleView("Same"), front.get());
    EXPECT_EQ(host.findVisibleView("InHidden"), nullptr);
    EXPECT_EQ(host.findVisibleView("Faded"), nullptr);
    EXPECT_EQ(host.findVisibleView("Off"), nullptr);
    EXPECT_EQ(host.findVisibleView("Clipped"), nullptr);
    front->setHidden(true);
    EXPECT_EQ(host.findVisibleView("Same"), back.get());
}

// Keeps the demo's saved paintings out of the user's documents folder.
class HeadlessDemo : public ::testing::Test {
protected:
    void SetUp() override { fnd::setDocumentsPath(documents.string()); }
    void TearDown() override { fnd::setDocumentsPath(""); }
    test_support::TempFolder tempFolder{"kanvaro-docs"};
    // Launches as the application does and opens a blank canvas from the gallery.
    static void launchOnBlankCanvas(HeadlessHost& h, KanvaroAppDelegate& app)
    {
        h.launch(host::applicationHooks(app));
        ASSERT_TRUE(h.tap("Add"));
        h.advance(0.5);
        ASSERT_TRUE(h.tap("Blank Canvas"));
        h.advance(0.6);
    }
    fs::path documents = tempFolder.path();
};

TEST_F(HeadlessDemo, ClosingTheWindowKeepsThePainting)
{
    {
        HeadlessHost host(2);
        KanvaroAppDelegate app;
        launchOnBlankCanvas(host, app);
        ASSERT_TRUE(host.drag({40, 120}, {200, 300}, 8, 0.2));
        host.terminate();
    }
    std::vector<fs::path> archives;
    for (const auto& entry : fs::directory_iterator(documents))
        if (entry.path().extension() == ".art")
            archives.push_back(entry.path());
    ASSERT_EQ(archives.size(), 1u);
    EXPECT_TRUE(fs::exists(fs::path(archives[0]).replace_extension(".jpg")));
    DataModel* reopened = DataModel::sharedDataModelWithArchivePath(archives[0].string());
    ASSERT_TRUE(reopened);
    // The stroke from window point (120, 210) is in the stored painting.
    auto painting = reopened->canvas()->createThumbnail(1024, false);
    bool painted = false;
    for (int y = 0; y < painting->height() && !painted; y += 4)
        for (int x = 0; x < painting->width() && !painted; x += 4)
            painted = (painting->pixelAt(x, y) >> 24) != 0;
    EXPECT_TRUE(painted);
    DataModel::releaseSharedDataModel();
}

TEST_F(HeadlessDemo, LaunchingRemovesOnlyStaleTemporariesOfInterruptedSaves)
{
    const fs::path exports = documents / "exports";
    fs::create_directories(exports);
    fnd::setExportsPath(exports.string());
    const auto twoMinutesAgo = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    auto make = [&](const fs::path& path, bool stale) {
        std::ofstream(path) << "x";
        if (stale)
            fs::last_write_time(path, twoMinutesAgo);
        return path;
    };
    const fs::path staleSave = make(documents / "Kanvaro1.art.tmp-a1B2c3", true);
    const fs::path staleExport = make(exports / "Kanvaro1.jpg.tmp-Zz9999", true);
    const fs::path running = make(documents / "Kanvaro2.art.tmp-q7W8e9", false);
    const fs::path notOurs = make(documents / "notes.tmp-abc", true);
    const fs::path painting = make(documents / "Kanvaro1.art", true);
    {
        HeadlessHost host(2);
        KanvaroAppDelegate app;
        host.launch({[&](ui::Window& w) { app.applicationDidFinishLaunching(w); }, {}});
    }
    fnd::setExportsPath("");
    DataModel::releaseSharedDataModel();
    EXPECT_FALSE(fs::exists(staleSave));
    EXPECT_FALSE(fs::exists(staleExport));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(notOurs));
    EXPECT_TRUE(fs::exists(painting));
}

TEST_F(HeadlessDemo, UntouchedDocumentIsNotSaved)
{
    HeadlessHost host(2);
    KanvaroAppDelegate app;
    launchOnBlankCanvas(host, app);
    host.terminate();
    EXPECT_TRUE(!fs::exists(documents) || fs::is_empty(documents));
}

TEST_F(HeadlessDemo, ClearingThroughTheActionSheetAndScreenshotIsFullSize)
{
    HeadlessHost host(2);
    KanvaroAppDelegate app;
    launchOnBlankCanvas(host, app);
    ASSERT_TRUE(host.drag({40, 120}, {200, 300}, 8, 0.2));
    EXPECT_TRUE(DataModel::sharedDataModel()->changesMade());
    // The stroke is on screen at the host's scale: window point (120, 210) is pixel (240, 420);
    // the blank canvas's brush paints black on white paper.
    EXPECT_EQ(ui::screenScale(), 2);
    EXPECT_LT(host.window().backingStore()->colorAt(240, 420).red, 0.75);
    host.advance(2.5); // the controls come back after the stroke
    ASSERT_TRUE(host.tap("Action"));
    host.advance(0.5);
    ASSERT_TRUE(host.tap("Clear Painting"));
    host.advance(0.5);
    ASSERT_TRUE(host.expectAlert("Clear Painting"));
    ASSERT_TRUE(host.tap("Clear"));
    host.advance(0.5);
    EXPECT_EQ(host.window().backingStore()->colorAt(240, 420).red, 1.0f);
    auto missing = host.tap("Add");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), "no visible view labelled \"Add\"");

    const test_support::TempFolder folder("kanvaro-shot");
    const fs::path shot = folder / "shot.png";
    ASSERT_TRUE(host.screenshot(shot.string()));
    auto decoded = imageio::decodeFile(shot.string());
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->width, 640);
    EXPECT_EQ(decoded->height, 960);
    EXPECT_FALSE(host.screenshot("/nonexistent-folder/shot.png"));

    host.terminate();
    EXPECT_TRUE(app.hasTerminated());
}

} // namespace
