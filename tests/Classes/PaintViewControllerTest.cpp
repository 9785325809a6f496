// The painting screen as a person uses it: panels toggle and swap, the medium picker and the paper
// page come and go with the panels hidden after them, strokes fade the controls and bring them
// back as they were, sheets act by their buttons' titles, the time-lapse export runs beside the screen, and the mended
// faults stay mended.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <fstream>

#include "BrushTool.h"
#include "BrushToolbar.h"
#include "ColorToolbar.h"
#include "ColorValues.h"
#include "Foundation/Paths.h"
#include "Graphics/PixelFormat.h"
#include "ImageIO/Decoder.h"
#include "Journal.h"
#include "OutlineView.h"
#include "PaintViewController.h"
#include "PaintViewTestSupport.h"
#include "RawImage.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/Touch.h"

using painting_test::PaintingViewTest;

namespace {

class PaintScreenTest : public PaintingViewTest {
protected:
    void open()
    {
        screen = std::make_shared<PaintViewController>();
        navigation = std::make_shared<ui::NavigationController>(screen);
        window->addSubview(navigation->viewRef());
        window->makeKeyAndVisible();
        window->display();
    }
    void TearDown() override
    {
        navigation.reset();
        screen.reset();
        PaintingViewTest::TearDown();
    }
    // A stroke across the painting, in window points.
    void stroke(double y = 250)
    {
        window->touchDown(1, {60, y}, now());
        window->touchMove(1, {200, y + 20}, now() + 0.05);
        window->touchUp(1, {200, y + 20}, now() + 0.1);
    }
    // The newest alert on screen, if any.
    ui::AlertView* shownAlert()
    {
        ui::AlertView* newest = nullptr;
        for (const auto& view : window->subviews())
            if (auto* alert = dynamic_cast<ui::AlertView*>(view.get()))
                newest = alert;
        return newest;
    }
    // The newest sheet on screen, if any, and its buttons' titles.
    ui::ActionSheet* shownSheet()
    {
        ui::ActionSheet* newest = nullptr;
        for (const auto& view : window->subviews())
            if (auto* sheet = dynamic_cast<ui::ActionSheet*>(view.get()); sheet && sheet->isVisible())
                newest = sheet;
        return newest;
    }
    static std::vector<std::string> titles(const ui::ActionSheet& sheet)
    {
        std::vector<std::string> all;
        for (int i = 0; i < sheet.numberOfButtons(); ++i)
            all.push_back(sheet.buttonTitleAtIndex(i));
        return all;
    }
    // Waits (in real time: exports run on threads of their own) while an alert titled `title` shows.
    bool waitWhileAlertShows(const std::string& title)
    {
        for (int i = 0; i < 6000; ++i) {
            runUntil(now() + 0.1);
            const ui::AlertView* alert = shownAlert();
            if (!alert || alert->title() != title || !alert->isVisible())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // Pixels of the painting (bitmap and strokes, no paper) that carry paint.
    static int paintedPixels() { return paintedPixels(canvas()); }
    static int paintedPixels(const Canvas& canvas)
    {
        auto painting = canvas.createThumbnail(std::max(canvas.width(), canvas.height()), false);
        int count = 0;
        for (int y = 0; y < painting->height(); y += 2)
            for (int x = 0; x < painting->width(); x += 2)
                count += (painting->pixelAt(x, y) >> 24) != 0;
        return count;
    }
    double navigationBarAlpha() { return navigation->navigationBar().alpha(); }
    std::shared_ptr<PaintViewController> screen;
    std::shared_ptr<ui::NavigationController> navigation;
};

} // namespace

TEST_F(PaintScreenTest, PanelButtonsToggleAndSwapAndThePickerAndPageLeaveThemHidden)
{
    blankDocument();
    open();
    BrushToolbar& brush = *screen->brushToolbar();
    ColorToolbar& color = *screen->colorToolbar();
    EXPECT_EQ(color.alpha(), 1.0); // a blank canvas opens on the colour panel
    EXPECT_EQ(brush.alpha(), 0.0);
    screen->brushAction();
    EXPECT_EQ(brush.alpha(), 1.0);
    EXPECT_EQ(color.alpha(), 0.0);
    screen->brushAction();
    EXPECT_EQ(brush.alpha(), 0.0);

    BrushTool& tool = screen->paintView()->canvasView()->brushTool();
    const auto shape = tool.shapeName();
    screen->colorAction();
    screen->mediumAction();
    ASSERT_TRUE(screen->mediumViewController());
    EXPECT_EQ(color.alpha(), 0.0);
    screen->mediumAction(); // a second press closes the picker, the brush untouched
    EXPECT_FALSE(screen->mediumViewController());
    EXPECT_EQ(tool.shapeName(), shape);

    screen->mediumAction();
    screen->mediumViewControllerDidPickMedium(*screen->mediumViewController(), g_arMediumValues[4]);
    EXPECT_FALSE(screen->mediumViewController());
    EXPECT_EQ(tool.size(), 75);
    EXPECT_FLOAT_EQ(brush.sizeSlider()->value(), 75.0f);

    screen->colorAction();
    screen->paperAction();
    runUntil(now() + 1.5);
    EXPECT_EQ(screen->paintContainerView()->superview(), nullptr);
    EXPECT_EQ(navigationBarAlpha(), 0.0);
    screen->paintPaperSettingsView()->doneAction();
    runUntil(now() + 1.5);
    EXPECT_EQ(screen->paintContainerView()->superview(), screen->paintRootView());
    EXPECT_EQ(navigationBarAlpha(), 1.0);
    EXPECT_EQ(screen->toolbar()->alpha(), 1.0);
    EXPECT_EQ(brush.alpha(), 0.0);
    EXPECT_EQ(color.alpha(), 0.0);
}

// A colour or "Photo Paint" picked while erasing or moving is one to paint with: the mode control
// follows the brush back to painting, and the next stroke paints in the picked colour.
TEST_F(PaintScreenTest, APickWhileErasingOrMovingSwitchesTheControlToTheBrush)
{
    photoDocument(64, 48);
    open();
    BrushTool& tool = screen->paintView()->canvasView()->brushTool();
    for (PaintView::Mode mode : {PaintView::kModeErase, PaintView::kModeMove}) {
        screen->modeControl()->setSelectedSegmentIndex(static_cast<int>(mode));
        screen->segmentAction(*screen->modeControl());
        screen->colorToolbar()->colorPickerViewControllerDidPickColor(nullptr, gfx::Color{0.4f, 0.8f, 1, 1});
        EXPECT_EQ(screen->modeControl()->selectedSegmentIndex(), 0);
        EXPECT_EQ(screen->paintView()->mode(), PaintView::kModePaint);
        EXPECT_EQ(tool.mode(), BrushTool::kModeFreehand);
        EXPECT_FLOAT_EQ(tool.color().green, 0.8f);
    }
    screen->modeControl()->setSelectedSegmentIndex(static_cast<int>(PaintView::kModeErase));
    screen->segmentAction(*screen->modeControl());
    screen->colorToolbar()->colorPickerViewControllerDidPickColor(nullptr, std::nullopt);
    EXPECT_EQ(screen->modeControl()->selectedSegmentIndex(), 0);
    EXPECT_EQ(tool.mode(), BrushTool::kModePhoto);
}

// The blueprint button's photo is made at the scale it is shown: at scale 2, 29 points of 58
// pixels, not 29 pixels drawn twice their size.
TEST_F(PaintScreenTest, TheBlueprintThumbnailHasThePixelsOfTheScaleItIsShownAt)
{
    photoDocument(400, 300);
    ui::setScreenScale(2);
    open();
    ui::ImageAssetRef thumbnail = screen->blueprintButton()->imageForState(ui::ControlState::Normal);
    ui::setScreenScale(1);
    ASSERT_TRUE(thumbnail && thumbnail->pixels);
    EXPECT_EQ(thumbnail->pixels->width(), 58);
    EXPECT_DOUBLE_EQ(thumbnail->pointSize.width, 29);
}

TEST_F(PaintScreenTest, PaperPageAppliesDoneKeepsCancelAndReopensWithTheCurrentPaperMarked)
{
    blankDocument();
    open();
    const gfx::Color sky = ColorOfValue(g_arColorValues[5]);
    screen->paperAction();
    PaperSettingsController& page = *screen->paintPaperSettingsView();
    page.setSelectedTextureName("Brick");
    page.setSelectedColor(sky);
    page.doneAction();
    EXPECT_EQ(canvas().textureName(), std::optional<std::string>("Brick"));
    EXPECT_TRUE(ColorsAreEqual(canvas().backgroundColor(), sky));
    runUntil(now() + 1.5);

    screen->paperAction();
    EXPECT_EQ(page.selectedTextureName(), std::optional<std::string>("Brick"));
    EXPECT_TRUE(ColorsAreEqual(page.selectedColor(), sky));
    page.setSelectedTextureName(std::nullopt);
    page.cancelAction();
    EXPECT_EQ(canvas().textureName(), std::optional<std::string>("Brick"));
    runUntil(now() + 1.5);
    screen->paperAction();
    page.setSelectedTextureName(std::nullopt); // "None" with Done removes the texture
    page.doneAction();
    EXPECT_EQ(canvas().textureName(), std::nullopt);
}

TEST_F(PaintScreenTest, AStrokeFadesTheControlsAndTheyComeBackAsTheyWere)
{
    blankDocument();
    open();
    stroke();
    EXPECT_EQ(screen->toolbar()->alpha(), 0.0);
    EXPECT_EQ(screen->colorToolbar()->alpha(), 0.0);
    EXPECT_EQ(navigationBarAlpha(), 0.0);
    runUntil(now() + 2.5);
    EXPECT_EQ(screen->toolbar()->alpha(), 1.0);
    EXPECT_EQ(screen->colorToolbar()->alpha(), 1.0);
    EXPECT_EQ(screen->brushToolbar()->alpha(), 0.0);
    EXPECT_EQ(navigationBarAlpha(), 1.0);
    // A run of strokes, each starting before the last one's end is reported.
    for (int i = 0; i < 3; ++i) {
        stroke(200 + 20 * i);
        runUntil(now() + 0.5);
    }
    EXPECT_EQ(screen->colorToolbar()->alpha(), 0.0);
    runUntil(now() + 2.5);
    EXPECT_EQ(screen->colorToolbar()->alpha(), 1.0);
    EXPECT_EQ(screen->toolbar()->alpha(), 1.0);
}

// Brushes paint into the canvas they are handed. One made beside the open painting over its own
// canvas and photo, with no view (as a replay at another size is), leaves the painting alone; a
// screen opened on a reopened painting hands on the new canvas, so its strokes land there and not
// in the canvas before.
TEST_F(PaintScreenTest, EveryBrushPaintsIntoTheCanvasItIsHanded)
{
    blankDocument();
    open();
    stroke();
    const std::shared_ptr<Canvas> first = DataModel::sharedDataModel()->canvasRef();
    const int firstPainted = paintedPixels();
    ASSERT_GT(firstPainted, 0);
    DataModel::sharedDataModel()->setChangesMade(false);

    auto photo = testing::makePhoto(64, 48); // pixel (x, y) is red x, green y, blue x ^ y
    const std::shared_ptr<Canvas> other = Canvas::initWithSize(128, 96);
    BrushTool replay(other, RawImage::initWithUIImage(*photo));
    const int rb = gfx::ImageMask::rowBytesFor(4);
    replay.setShapeMask(gfx::ImageMask::create(4, 4, rb, std::vector<std::uint8_t>(rb * 4, 0), false));
    replay.setSize(10);
    replay.setSpacing(2); // dabs 20 pixels apart, none overlapping
    replay.beginStroke({20, 50}, 0);
    replay.moveStroke({20, 50}, {100, 50}, 0.1);
    replay.endStroke(0.2);
    // The dab at (60, 50) took the photo's colour at (30, 25).
    EXPECT_EQ(other->curStrokeLayer().context().pixelAt(60, 50), gfx::packARGB(255, 30, 25, 30 ^ 25));
    // Without a timer the airbrush lays its resting dab once the times given pass a quarter second.
    replay.setAirbrush(true);
    replay.beginStroke({30, 80}, 1.0);
    replay.endStroke(1.2);
    EXPECT_EQ(other->curStrokeLayer().context().pixelAt(30, 80), 0u);
    replay.beginStroke({30, 80}, 2.0);
    replay.endStroke(2.3);
    EXPECT_NE(other->curStrokeLayer().context().pixelAt(30, 80), 0u);
    EXPECT_EQ(paintedPixels(), firstPainted);
    EXPECT_FALSE(DataModel::sharedDataModel()->changesMade());

    // Back to the gallery and open the painting again: a new screen over the reopened canvas.
    ASSERT_TRUE(DataModel::sharedDataModel()->saveToFiles());
    const std::string path = DataModel::sharedDataModel()->getFullPath();
    navigation->view()->removeFromSuperview();
    navigation.reset();
    screen.reset();
    ASSERT_TRUE(DataModel::sharedDataModelWithArchivePath(path));
    ASSERT_NE(&canvas(), first.get());
    open();
    const int reopenedPainted = paintedPixels();
    stroke(350);
    EXPECT_GT(paintedPixels(), reopenedPainted);
    EXPECT_TRUE(DataModel::sharedDataModel()->changesMade());
    EXPECT_EQ(paintedPixels(*first), firstPainted);
}

TEST_F(PaintScreenTest, ACancelledTouchEndsTheStrokeAndTheSnapshotFollows)
{
    blankDocument();
    open();
    window->touchDown(1, {60, 250}, now());
    window->touchMove(1, {200, 270}, now() + 0.05);
    window->cancelAllTouches(now() + 0.1);
    EXPECT_FALSE(screen->paintView()->isPainting());
    runUntil(now() + 2.5);
    EXPECT_EQ(screen->toolbar()->alpha(), 1.0);
    EXPECT_EQ(navigationBarAlpha(), 1.0);
    const int painted = paintedPixels();
    EXPECT_GT(painted, 0);
    canvas().undo(); // the stroke is one undoable step of its own
    EXPECT_EQ(paintedPixels(), 0);
}

TEST_F(PaintScreenTest, ASketchChosenRightAfterAStrokeStaysUndoableAndTheControlsReturn)
{
    photoDocument(160, 120);
    open();
    runUntil(now() + 3);                                    // the blueprint exists and has faded in
    EXPECT_EQ(screen->paintView()->contentOffset().y, -44); // a wide canvas starts below the bar
    stroke();
    runUntil(now() + 1);
    auto sketchSheet =
        std::make_shared<ui::ActionSheet>("", nullptr, "Cancel", "", std::vector<std::string>{"a", "b", "c"});
    sketchSheet->setTag(PaintViewController::kSketchSheetTag);
    screen->actionSheetClickedButtonAtIndex(*sketchSheet, 2); // black pen
    const int sketched = paintedPixels();
    runUntil(now() + 3); // the stroke's pending timer
    EXPECT_EQ(screen->toolbar()->alpha(), 1.0);
    EXPECT_EQ(paintedPixels(), sketched);
    canvas().undo();
    EXPECT_LT(paintedPixels(), sketched); // the sketch went with the undo, not into the painting
}

TEST_F(PaintScreenTest, ActionSheetUndoClearConfirmationAndExportByTitle)
{
    blankDocument();
    const auto exports = dir / "exports";
    fnd::setExportsPath(exports.string());
    open();
    auto sheet = std::make_shared<ui::ActionSheet>("", nullptr, "Cancel", "Undo",
                                                   std::vector<std::string>{"Clear Painting", "Export to Photos"});
    sheet->setTag(PaintViewController::kActionSheetTag);
    stroke();
    runUntil(now() + 2.5);
    screen->actionSheetClickedButtonAtIndex(*sheet, 0);
    EXPECT_EQ(paintedPixels(), 0);

    stroke();
    runUntil(now() + 2.5);
    screen->actionSheetClickedButtonAtIndex(*sheet, 1);
    ui::AlertView* confirm = shownAlert();
    ASSERT_TRUE(confirm);
    EXPECT_EQ(confirm->title(), "Clear Painting");
    screen->alertViewClickedButtonAtIndex(*confirm, 0); // Cancel keeps the painting
    EXPECT_GT(paintedPixels(), 0);
    screen->alertViewClickedButtonAtIndex(*confirm, 1);
    EXPECT_EQ(paintedPixels(), 0);
    runUntil(now() + 1);

    screen->actionSheetClickedButtonAtIndex(*sheet, 2);
    runUntil(now() + 1);
    ui::AlertView* done = shownAlert();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->message(), "Export to Photos Completed\nSaved in " + fnd::folderForPeople(exports.string()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(exports), std::filesystem::directory_iterator()), 1);
    fnd::setExportsPath("");
}

TEST_F(PaintScreenTest, AFailedExportSaysSoInsteadOfCompleted)
{
    blankDocument();
    const auto blocker = dir / "not-a-folder";
    std::ofstream(blocker) << "x";
    fnd::setExportsPath(blocker.string());
    open();
    auto sheet = std::make_shared<ui::ActionSheet>("", nullptr, "Cancel", "Undo",
                                                   std::vector<std::string>{"Clear Painting", "Export to Photos"});
    sheet->setTag(PaintViewController::kActionSheetTag);
    screen->actionSheetClickedButtonAtIndex(*sheet, 2);
    runUntil(now() + 1);
    ui::AlertView* alert = shownAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), PaintViewController::kExportFailedTitle);
    EXPECT_EQ(alert->message(), "The painting could not be exported.\nNot a directory (…/not-a-folder)");
    fnd::setExportsPath("");
}

TEST_F(PaintScreenTest, TheTimeLapseIsAskedItsLengthAndMadeBesideTheScreenOrCancelled)
{
    blankDocument();
    const auto exports = dir / "exports";
    fnd::setExportsPath(exports.string());
    open();
    stroke();
    runUntil(now() + 2.5);
    auto askForTenSeconds = [&] {
        screen->actionAction();
        ui::ActionSheet* sheet = shownSheet();
        ASSERT_TRUE(sheet);
        EXPECT_EQ(titles(*sheet), (std::vector<std::string>{"Undo", "Clear Painting", "Export to Photos",
                                                            "Export Full Size", "Export Time-lapse", "Cancel"}));
        screen->actionSheetClickedButtonAtIndex(*sheet, 4);
        sheet->dismissWithClickedButtonIndex(4, false);
        ui::ActionSheet* lengths = shownSheet();
        ASSERT_TRUE(lengths && lengths != sheet);
        EXPECT_EQ(titles(*lengths), (std::vector<std::string>{"10 Seconds", "20 Seconds", "60 Seconds", "Cancel"}));
        screen->actionSheetClickedButtonAtIndex(*lengths, 0);
        lengths->dismissWithClickedButtonIndex(0, false);
    };
    auto waitForTheEnd = [&] {
        EXPECT_TRUE(waitWhileAlertShows(PaintViewController::kTimeLapseProgressTitle)) << "the time-lapse never ended";
    };

    // Cancelled from the progress alert: nothing is written.
    askForTenSeconds();
    ui::AlertView* progress = shownAlert();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->title(), PaintViewController::kTimeLapseProgressTitle);
    ASSERT_TRUE(progress->progressView());
    EXPECT_EQ(progress->buttonTitleAtIndex(0), "Cancel");
    screen->alertViewClickedButtonAtIndex(*progress, 0);
    waitForTheEnd();
    EXPECT_FALSE(std::filesystem::exists(exports / "Painting 1.mp4"));

    askForTenSeconds();
    waitForTheEnd();
    ui::AlertView* done = shownAlert();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->message(), "Export Time-lapse Completed\nSaved in " + exports.string());
    EXPECT_GT(std::filesystem::file_size(exports / "Painting 1.mp4"), 1000u);
    fnd::setExportsPath("");
}

// The sheet offers the full-size export after "Export to Photos" only to a painting whose journal
// starts at its beginning; made beside the screen, it says where it went.
TEST_F(PaintScreenTest, TheFullSizeExportIsOfferedOnlyWhereItCanBeMadeAndSaysWhereItWent)
{
    photoDocument(16, 12); // smaller than the canvas: exported at the canvas's size
    const auto exports = dir / "exports";
    fnd::setExportsPath(exports.string());
    open();
    stroke();
    runUntil(now() + 2.5);
    screen->actionAction();
    ui::ActionSheet* sheet = shownSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(titles(*sheet),
              (std::vector<std::string>{"Undo", "Clear Painting", "Export to Photos", "Export Full Size",
                                        "Export Time-lapse", "Paint for Me", "Cancel"}));
    screen->actionSheetClickedButtonAtIndex(*sheet, 3);
    sheet->dismissWithClickedButtonIndex(3, false);
    ui::AlertView* progress = shownAlert();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->title(), PaintViewController::kFullSizeProgressTitle);
    ASSERT_TRUE(progress->progressView());
    ASSERT_TRUE(waitWhileAlertShows(PaintViewController::kFullSizeProgressTitle));
    ui::AlertView* done = shownAlert();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->message(), "Export Full Size Completed\nSaved in " + fnd::folderForPeople(exports.string()));
    auto picture = imageio::decodeFile((exports / "Painting 1 (full size).png").string());
    ASSERT_TRUE(picture) << picture.error();
    EXPECT_EQ(picture->width, 1024);
    EXPECT_EQ(picture->height, 768);
    screen->alertViewClickedButtonAtIndex(*done, 0);
    done->dismissWithClickedButtonIndex(0, false);

    // A painting begun before journals keeps its time-lapse (from its pixels then) but has no full size.
    const Canvas& painting = canvas();
    canvas().setJournal(std::make_shared<Journal>(painting.width(), painting.height(), Journal::Origin::kPixels, 1));
    screen->actionAction();
    sheet = shownSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(titles(*sheet), (std::vector<std::string>{"Undo", "Clear Painting", "Export to Photos",
                                                        "Export Time-lapse", "Paint for Me", "Cancel"}));
    fnd::setExportsPath("");
}
