// The painting screen's keyboard through the headless host: each shortcut does what its
// on-screen control does, and Escape takes away what is open as its Cancel would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "BrushTool.h"
#include "BrushToolbar.h"
#include "ColorToolbar.h"
#include "DataModel.h"
#include "Foundation/Paths.h"
#include "Host/HeadlessHost.h"
#include "PaintViewController.h"
#include "TextureValues.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/Window.h"

namespace fs = std::filesystem;

namespace {

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("kanvaro_keys_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fnd::setDocumentsPath((folder / "Documents").string());
        fnd::setExportsPath((folder / "Exports").string());
        DataModel::sharedDataModelWithBlankCanvas();
        screen = std::make_shared<PaintViewController>();
        navigation = std::make_shared<ui::NavigationController>(screen);
        host.launch({[this](ui::Window& w) { w.addSubview(navigation->viewRef()); }, [this] { terminated = true; }});
    }
    void TearDown() override
    {
        navigation->view()->removeFromSuperview();
        navigation.reset();
        screen.reset();
        DataModel::releaseSharedDataModel();
        fnd::setDocumentsPath("");
        fnd::setExportsPath("");
        fs::remove_all(folder);
    }
    void stroke()
    {
        ASSERT_TRUE(host.drag({40, 120}, {200, 300}, 8, 0.2));
        host.advance(2.5); // the undo snapshot is taken and the controls come back
    }
    static int paintedPixels()
    {
        auto painting = DataModel::sharedDataModel()->canvas()->createThumbnail(1024, false);
        int count = 0;
        for (int i = 0; i < painting->width() * painting->height(); i += 3)
            count += (painting->pixelAt(i % painting->width(), i / painting->width()) >> 24) != 0;
        return count;
    }
    BrushTool& brush() { return screen->paintView()->canvasView()->brushTool(); }

    host::HeadlessHost host{2};
    fs::path folder;
    std::shared_ptr<PaintViewController> screen;
    std::shared_ptr<ui::NavigationController> navigation;
    bool terminated = false;
};

} // namespace

TEST_F(KeyboardTest, UndoSaveExportAndQuitAct)
{
    stroke();
    ASSERT_GT(paintedPixels(), 0);
    ASSERT_TRUE(host.key("ctrl+z"));
    EXPECT_EQ(paintedPixels(), 0) << "as the sheet's Undo: back to the snapshot before the stroke";

    stroke();
    const DataModel& document = *DataModel::sharedDataModel();
    ASSERT_TRUE(host.key("ctrl+s"));
    EXPECT_TRUE(fs::is_regular_file(document.getFullPath()));
    EXPECT_TRUE(fs::is_regular_file(document.getThumbnailFullPath()));
    EXPECT_EQ(navigation->topViewController(), screen.get()) << "saving stays on the painting";
    EXPECT_FALSE(host.expectAlert(PaintViewController::kSaveFailedTitle));

    ASSERT_TRUE(host.key("ctrl+e"));
    host.advance(1);
    ASSERT_TRUE(host.expectAlert("Export to Photos Completed"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "Exports"), fs::directory_iterator()), 1);
    ASSERT_TRUE(host.key("escape"));
    host.advance(1);

    std::ofstream(folder / "blocker") << "x"; // a file where the documents folder should be
    fnd::setDocumentsPath((folder / "blocker").string());
    ASSERT_TRUE(host.key("ctrl+s"));
    ASSERT_TRUE(host.expectAlert(PaintViewController::kSaveFailedTitle));
    EXPECT_TRUE(host.findVisibleView("Cancel"));
    ASSERT_TRUE(host.key("escape"));
    host.advance(1);
    EXPECT_FALSE(host.expectAlert(PaintViewController::kSaveFailedTitle));

    EXPECT_FALSE(terminated);
    ASSERT_TRUE(host.key("ctrl+q"));
    EXPECT_TRUE(terminated);
}

TEST_F(KeyboardTest, ModeSizeAndMediumKeysMoveTheirControls)
{
    ui::SegmentedControl& mode = *screen->modeControl();
    const std::pair<const char*, PaintView::Mode> modes[] = {
        {"e", PaintView::kModeErase}, {"h", PaintView::kModeMove}, {"b", PaintView::kModePaint}};
    for (const auto& [key, paintMode] : modes) {
        ASSERT_TRUE(host.key(key));
        EXPECT_EQ(mode.selectedSegmentIndex(), static_cast<int>(paintMode)) << key;
        EXPECT_EQ(screen->paintView()->mode(), paintMode) << key;
    }
    host.window().touchDown(1, {100, 200}, host.now()); // mid-stroke the brush stays as it is
    ASSERT_TRUE(host.key("e"));
    EXPECT_EQ(screen->paintView()->mode(), PaintView::kModePaint);
    host.window().touchUp(1, {100, 200}, host.now());
    host.advance(2.5);
    ASSERT_TRUE(host.key("space down"));
    ASSERT_TRUE(host.key("space down")); // held: the repeat changes nothing
    EXPECT_EQ(screen->paintView()->mode(), PaintView::kModeMove);
    ASSERT_TRUE(host.key("space up"));
    EXPECT_EQ(screen->paintView()->mode(), PaintView::kModePaint);
    EXPECT_EQ(mode.selectedSegmentIndex(), static_cast<int>(PaintView::kModePaint));

    ui::Slider& slider = *screen->brushToolbar()->sizeSlider();
    const int before = brush().size();
    ASSERT_TRUE(host.key("]"));
    EXPECT_EQ(brush().size(), before + std::max(1, before / 10));
    EXPECT_EQ(slider.value(), static_cast<float>(brush().size()));
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(host.key("bracketright"));
    EXPECT_EQ(brush().size(), 200) << "the slider's maximum";
    ASSERT_TRUE(host.key("["));
    EXPECT_EQ(brush().size(), 180);

    const ui::BarButtonItemRef mediumButton = screen->toolbar()->items().front();
    ASSERT_TRUE(host.key("4"));
    EXPECT_EQ(brush().shapeName(), std::optional<std::string>("Airbrush"));
    EXPECT_NE(screen->toolbar()->items().front(), mediumButton) << "the medium button shows the new brush";
    ASSERT_TRUE(host.key("5")); // scratch board brings its own size, and the slider shows it
    EXPECT_EQ(brush().size(), 75);
    EXPECT_EQ(slider.value(), 75.0f);
    ASSERT_TRUE(host.key("minus"));
    EXPECT_EQ(brush().shapeName(), std::optional<std::string>("Calligraphy"));
    ASSERT_TRUE(host.key("0"));
    EXPECT_EQ(brush().shapeName(), std::optional<std::string>("PenAndInk"));
}

TEST_F(KeyboardTest, HelpAndEscapeClosingPanelPickerSheetAndPaperPageAsCancel)
{
    ColorToolbar& colors = *screen->colorToolbar();
    ASSERT_EQ(colors.alpha(), 1.0); // a blank painting opens on the colour panel
    ASSERT_TRUE(host.key("?"));
    EXPECT_TRUE(host.findVisibleView("Ctrl+Z")) << "the list of keys";
    ASSERT_TRUE(host.key("escape")); // closes the list only
    EXPECT_FALSE(host.findVisibleView("Ctrl+Z"));
    EXPECT_EQ(colors.alpha(), 1.0);
    host.advance(0.5);
    ASSERT_TRUE(host.key("escape"));
    EXPECT_EQ(colors.alpha(), 0.0);

    ASSERT_TRUE(host.tap("Medium"));
    host.advance(0.5);
    ASSERT_TRUE(screen->mediumViewController());
    ASSERT_TRUE(host.key("escape"));
    EXPECT_FALSE(screen->mediumViewController());

    stroke();
    ASSERT_TRUE(host.tap("Action"));
    host.advance(0.5);
    ASSERT_TRUE(host.key("escape"));
    host.advance(0.5);
    EXPECT_FALSE(host.findVisibleView("Undo"));
    EXPECT_GT(paintedPixels(), 0) << "Cancel, not Undo";

    ASSERT_TRUE(host.tap("Paper"));
    host.advance(1.5);
    ASSERT_TRUE(host.tap(g_arTextureValues[1]));
    ASSERT_TRUE(host.key("e")); // painting keys wait while the page covers the painting
    EXPECT_EQ(screen->paintView()->mode(), PaintView::kModePaint);
    ASSERT_TRUE(host.key("escape"));
    host.advance(1.5);
    EXPECT_EQ(screen->paintPaperSettingsView()->view()->superview(), nullptr);
    EXPECT_EQ(DataModel::sharedDataModel()->canvas()->textureName(), std::nullopt);
    EXPECT_EQ(screen->toolbar()->alpha(), 1.0);

    ASSERT_TRUE(host.key("f1"));
    ASSERT_TRUE(host.tap(gfx::Point{10, 10})); // anywhere, outside the list too
    EXPECT_FALSE(host.findVisibleView("Ctrl+Z"));
}
