#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Foundation/RunLoop.h"
#include "Foundation/Timer.h"
#include "Host/HeadlessHost.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"
#include "Support/RecordingView.h"
#include "Support/TempFolder.h"
#include "Toolkit/ActionSheet.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/Button.h"
#include "Toolkit/ScrollView.h"
#include "Toolkit/Window.h"

using namespace script;
using test_support::RecordingView;
namespace fs = std::filesystem;

namespace {

TEST(ScriptParser, ReadsEveryStepFormAndKeepsLineNumbers)
{
    auto steps = parseScript("# a comment\n"
                             "\n"
                             "tap Add Photo\n"
                             "tap 10 20.5\n"
                             "  drag 1 2 3 4  \n"
                             "drag 1 2 3 4 7 1.5\n"
                             "pinch 160 240 0.5\n"
                             "wait 2\n"
                             "screenshot out dir/a b.png\n"
                             "expect-visible Done\n"
                             "expect-file x.png\n"
                             "expect-alert Clear Painting\n"
                             "pick-photo Pictures/IMG 1.jpg\n"
                             "key ctrl+z\n"
                             "key space down\n",
                             "s.txt");
    ASSERT_TRUE(steps) << steps.error();
    const auto& s = steps.value();
    ASSERT_EQ(s.size(), 13u);
    EXPECT_EQ(s[0].kind, StepKind::TapLabel);
    EXPECT_EQ(s[0].argument, "Add Photo");
    EXPECT_EQ(s[0].line, 3);
    EXPECT_EQ(s[1].kind, StepKind::TapPoint);
    EXPECT_EQ(s[1].from, (gfx::Point{10, 20.5}));
    EXPECT_EQ(s[2].text, "drag 1 2 3 4");
    EXPECT_EQ(s[2].moves, 10); // defaults
    EXPECT_DOUBLE_EQ(s[2].seconds, 0.3);
    EXPECT_EQ(s[3].moves, 7);
    EXPECT_DOUBLE_EQ(s[3].seconds, 1.5);
    EXPECT_EQ(s[3].to, (gfx::Point{3, 4}));
    EXPECT_DOUBLE_EQ(s[4].scale, 0.5);
    EXPECT_DOUBLE_EQ(s[5].seconds, 2);
    EXPECT_EQ(s[6].argument, "out dir/a b.png");
    EXPECT_EQ(s[7].kind, StepKind::ExpectVisible);
    EXPECT_EQ(s[8].kind, StepKind::ExpectFile);
    EXPECT_EQ(s[8].line, 11);
    EXPECT_EQ(s[9].kind, StepKind::ExpectAlert);
    EXPECT_EQ(s[9].argument, "Clear Painting");
    EXPECT_EQ(s[10].kind, StepKind::PickPhoto);
    EXPECT_EQ(s[10].argument, "Pictures/IMG 1.jpg");
    EXPECT_EQ(s[11].kind, StepKind::Key);
    EXPECT_EQ(s[11].argument, "ctrl+z");
    EXPECT_EQ(s[12].argument, "space down");
}

TEST(ScriptParser, ErrorsNameTheFileLineAndText)
{
    struct Case {
        const char* source;
        const char* expected;
    };
    const Case cases[] = {
        {"wait 1\n\ndrag 1 2\n", "s.txt:3: drag 1 2: drag needs X1 Y1 X2 Y2 [MOVES] [SECONDS]"},
        {"jump 1\n", "s.txt:1: jump 1: unknown step \"jump\""},
        {"tap\n", "s.txt:1: tap: tap needs a label or X Y"},
        {"wait -1\n", "s.txt:1: wait -1: SECONDS must be from 0 to 3600"},
        {"wait soon\n", "s.txt:1: wait soon: wait needs SECONDS"},
        {"drag 1 2 3 4 2.5\n", "s.txt:1: drag 1 2 3 4 2.5: MOVES must be a whole number from 0 to 10000"},
        {"pinch 1 2 0\n", "s.txt:1: pinch 1 2 0: SCALE must be above 0 and at most 100"},
        {"pinch 1 2 nan\n", "s.txt:1: pinch 1 2 nan: pinch needs X Y SCALE"},
        {"screenshot\n", "s.txt:1: screenshot: screenshot needs FILE.png"},
        {"expect-alert\n", "s.txt:1: expect-alert: expect-alert needs a TITLE"},
        {"pick-photo \n", "s.txt:1: pick-photo: pick-photo needs a FILE"},
        {"key ctrl+\n", "s.txt:1: key ctrl+: key needs a KEY such as ctrl+z, bracketright, 3 or escape, optionally "
                        "followed by down or up"},
        {"key space sideways\n", "s.txt:1: key space sideways: key needs a KEY such as ctrl+z, bracketright, 3 or "
                                 "escape, optionally followed by down or up"},
    };
    for (const auto& c : cases) {
        auto steps = parseScript(c.source, "s.txt");
        ASSERT_FALSE(steps) << c.source;
        EXPECT_EQ(steps.error(), c.expected);
    }
}

class ScriptRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousDir = fs::current_path();
        fs::current_path(m_folder.path());
        m_view = std::make_shared<RecordingView>(gfx::Rect(0, 0, 320, 480));
        m_view->setAccessibilityLabel("Pad");
        m_host.launch({[this](ui::Window& w) { w.addSubview(m_view); }, {}});
    }
    void TearDown() override { fs::current_path(m_previousDir); }
    fnd::Status run(const std::string& source)
    {
        auto steps = parseScript(source, "t.script");
        if (!steps)
            return fnd::Error{steps.error()};
        return runScript(steps.value(), m_host, "t.script");
    }
    test_support::TempFolder m_folder{"kanvaro-script"};
    fs::path m_previousDir;
    host::HeadlessHost m_host;
    std::shared_ptr<RecordingView> m_view;
};

TEST_F(ScriptRunnerTest, RunsStepsAndWritesRelativeFilesInTheWorkingFolder)
{
    auto outcome = run("tap Pad\ndrag 10 10 100 100 4 0.2\nwait 1\nscreenshot shots.png\nexpect-file shots.png\n");
    ASSERT_TRUE(outcome) << outcome.error();
    EXPECT_EQ(m_view->inPhase(ui::TouchPhase::Moved).size(), 4u);
    EXPECT_TRUE(fs::is_regular_file(m_folder / "shots.png"));
}

TEST_F(ScriptRunnerTest, StopsAtTheFirstFailedStepAndNamesIt)
{
    auto outcome = run("tap Pad\n# then\ntap Add\nscreenshot never.png\n");
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.error(), "t.script:3: tap Add: no visible view labelled \"Add\"");
    EXPECT_FALSE(fs::exists(m_folder / "never.png"));

    EXPECT_EQ(run("expect-file missing.png\n").error(), "t.script:1: expect-file missing.png: no file at missing.png");
    m_view->setHidden(true);
    EXPECT_EQ(run("expect-visible Pad\n").error(), "t.script:1: expect-visible Pad: no visible view labelled \"Pad\"");
}

// The painting screen's round trip in miniature: a button shows a sheet, its "Clear Painting"
// shows a confirmation alert; and a long grid of photos, one far down.
class SheetAlertAndPicker : public ui::ActionSheetDelegate, public ui::AlertViewDelegate {
public:
    std::vector<std::string> log;
    void actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int index) override
    {
        log.push_back("sheet " + sheet.buttonTitleAtIndex(index));
        if (index == 1) {
            std::make_shared<ui::AlertView>("Clear Painting", "Are you sure?", this, "Cancel",
                                            std::vector<std::string>{"Clear"})
                ->show();
        }
    }
    void alertViewClickedButtonAtIndex(ui::AlertView& alert, int index) override
    {
        log.push_back("alert " + alert.buttonTitleAtIndex(index));
    }
    void build(ui::Window& window)
    {
        auto grid = std::make_shared<ui::ScrollView>(gfx::Rect(0, 0, 320, 400));
        for (int i = 0; i < 60; ++i) {
            auto cell = std::make_shared<ui::Button>(gfx::Rect((i % 4) * 80, (i / 4) * 80, 80, 80));
            std::string name = "IMG_" + std::to_string(1000 + i) + ".jpg";
            cell->setAccessibilityLabel(name);
            cell->addTarget(ui::ControlEvent::TouchUpInside,
                            [this, name](ui::Control&) { log.push_back("photo " + name); });
            grid->addSubview(cell);
        }
        grid->setContentSize({320, 15 * 80});
        window.addSubview(grid);
        auto actions = std::make_shared<ui::Button>(gfx::Rect(0, 400, 320, 80));
        actions->setAccessibilityLabel("Actions");
        actions->addTarget(ui::ControlEvent::TouchUpInside, [this, &window](ui::Control&) {
            std::make_shared<ui::ActionSheet>("", this, "Cancel", "Undo", std::vector<std::string>{"Clear Painting"})
                ->showInView(window);
        });
        window.addSubview(actions);
    }
};

TEST_F(ScriptRunnerTest, ReachesSheetAndAlertButtonsAndPhotosByLabel)
{
    SheetAlertAndPicker screen;
    screen.build(m_host.window());
    auto outcome = run("pick-photo Pictures/IMG_1057.jpg\n"
                       "tap Actions\n"
                       "tap Clear Painting\n"
                       "expect-alert Clear Painting\n"
                       "tap Clear\n"
                       "wait 0.5\n");
    ASSERT_TRUE(outcome) << outcome.error();
    EXPECT_EQ(screen.log, (std::vector<std::string>{"photo IMG_1057.jpg", "sheet Clear Painting", "alert Clear"}));
    EXPECT_EQ(m_host.window().subviews().size(), 3u) << "sheet, alert and their dimming are gone";

    // While the sheet is up the screen behind it cannot be tapped, and wrong checks say why.
    EXPECT_EQ(run("tap Actions\ntap Actions\n").error(),
              "t.script:2: tap Actions: the view labelled \"Actions\" is covered by another view");
    EXPECT_EQ(run("tap Clear Painting\nexpect-alert Clear\n").error(),
              "t.script:2: expect-alert Clear: no alert titled \"Clear\" is showing (showing: \"Clear Painting\")");
    EXPECT_EQ(run("tap Cancel\nwait 0.5\nexpect-alert Clear Painting\n").error(),
              "t.script:3: expect-alert Clear Painting: no alert titled \"Clear Painting\" is showing (no alert is)");
    EXPECT_EQ(run("pick-photo IMG_9999.jpg\n").error(),
              "t.script:1: pick-photo IMG_9999.jpg: no photo \"IMG_9999.jpg\" in the open picker");
}

TEST_F(ScriptRunnerTest, ReportsAnUnreadableScriptFile)
{
    auto outcome = runScriptFile("no-such.script", m_host);
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.error().rfind("no-such.script: ", 0), 0u) << outcome.error();
}

} // namespace

namespace {

// What comes and goes inside a step is seen by the frames drawn meanwhile; kept pixels compare
// against the screen later; files are counted by suffix; "*" ends a label prefix.
TEST_F(ScriptRunnerTest, SeesPassingViewsComparesKeptPixelsAndCountsFiles)
{
    auto flash = std::make_shared<ui::View>(gfx::Rect(0, 0, 40, 40));
    flash->setAccessibilityLabel("Saving");
    auto timer = fnd::Timer::scheduledTimer(0.1, false, [&](fnd::Timer&) {
        m_host.window().addSubview(flash);
        fnd::RunLoop::main().runFor(0.1); // shown while the run loop turns, then gone
        flash->removeFromSuperview();
    });
    auto seen = run("expect-unseen Saving\nwait 0.5\nexpect-seen Saving\nexpect-unseen Saving\n");
    ASSERT_TRUE(seen) << seen.error();
    EXPECT_EQ(run("expect-seen Saving\n").error(),
              "t.script:1: expect-seen Saving: no view labelled \"Saving\" was on screen since the last check");

    m_view->setBackgroundColor(gfx::Color::white());
    auto recolour =
        fnd::Timer::scheduledTimer(0.2, false, [&](fnd::Timer&) { m_view->setBackgroundColor(gfx::Color::black()); });
    auto pixels = run("keep-pixels w 10 10 300 400\nexpect-same-pixels w\nwait 0.5\nexpect-other-pixels w\n");
    ASSERT_TRUE(pixels) << pixels.error();
    auto back =
        fnd::Timer::scheduledTimer(0.2, false, [&](fnd::Timer&) { m_view->setBackgroundColor(gfx::Color::white()); });
    EXPECT_EQ(run("keep-pixels w 10 10\nwait 0.5\nexpect-same-pixels w\n").error(),
              "t.script:3: expect-same-pixels w: the pixel at (10, 10) is not the same as kept");

    std::ofstream("a.art") << "x";
    std::ofstream("b.jpg") << "x";
    fs::create_directory("c.art");
    auto counted = run("count-files . .art 1\ncount-files . .jpg 1\ntap Pa*\n");
    ASSERT_TRUE(counted) << counted.error();
    EXPECT_EQ(run("count-files . .art 2\n").error(), "t.script:1: count-files . .art 2: 1 files ending in .art in .");
    EXPECT_FALSE(run("tap Pad*x\n"));
}

} // namespace
