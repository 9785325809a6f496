// The gallery as a person uses it: the list built from thumbnails, rows of two with the halves
// and delete buttons where they belong, sources by sheet index, opening, saving on return, the
// edit mode, and the mended faults (deleting the marked thumbnail itself, a blank canvas that
// cannot be made, a save that fails).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "Foundation/FileOps.h"
#include "GalleryTableViewCell.h"
#include "GalleryViewController.h"
#include "Graphics/BitmapContext.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"
#include "PaintViewController.h"
#include "PaintViewTestSupport.h"
#include "Recovery.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/FileDrop.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/ImagePickerController.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/Touch.h"

using painting_test::PaintingViewTest;
namespace fs = std::filesystem;

namespace {

// A gallery whose blank canvas can be made to fail.
class TestGallery : public GalleryViewController {
public:
    bool failBlank = false;

protected:
    DataModel* makeBlankDocument() override { return failBlank ? nullptr : GalleryViewController::makeBlankDocument(); }
};

class GalleryTest : public PaintingViewTest {
protected:
    void SetUp() override
    {
        PaintingViewTest::SetUp();
        gallery = std::make_shared<TestGallery>();
        navigation = std::make_shared<ui::NavigationController>(gallery);
        window->addSubview(navigation->viewRef());
        window->makeKeyAndVisible();
        window->display();
    }
    void TearDown() override
    {
        navigation.reset();
        gallery.reset();
        PaintingViewTest::TearDown();
    }
    void settle(double seconds = 1)
    {
        runUntil(now() + seconds);
        window->display();
    }
    void touch(const std::string& name) { std::ofstream(dir / name) << "x"; }
    // A saved painting (archive and thumbnail) under `title`.
    void savePainting(const std::string& title)
    {
        ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas());
        DataModel::sharedDataModel()->setFileTitle(title);
        ASSERT_TRUE(DataModel::sharedDataModel()->saveToFiles());
        DataModel::releaseSharedDataModel();
    }
    ui::AlertView* shownAlert()
    {
        ui::AlertView* newest = nullptr;
        for (const auto& view : window->subviews())
            if (auto* alert = dynamic_cast<ui::AlertView*>(view.get()))
                newest = alert;
        return newest;
    }
    void expectErrorAlert(const std::string& message)
    {
        ui::AlertView* alert = shownAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->title(), "Error");
        EXPECT_EQ(alert->message(), message);
        EXPECT_EQ(alert->cancelButtonIndex(), 0);
        EXPECT_EQ(alert->firstOtherButtonIndex(), -1);
    }
    std::size_t stackDepth() const { return navigation->viewControllers().size(); }

    std::shared_ptr<TestGallery> gallery;
    std::shared_ptr<ui::NavigationController> navigation;
};

TEST_F(GalleryTest, ListsOnlyThumbnailsSortedCaseInsensitivelyInRowsOfTwo)
{
    EXPECT_EQ(gallery->tableView()->numberOfRowsInSection(0), 0);
    for (const char* name : {"b.jpg", "A.jpg", "c.png", "a10.jpg", "a2.jpg", "notes.txt", "d.jpeg"})
        touch(name);
    gallery->viewDidAppear(false);
    EXPECT_EQ(gallery->files(), (std::vector<std::string>{"A.jpg", "a10.jpg", "a2.jpg", "b.jpg"}));
    EXPECT_EQ(gallery->tableView()->numberOfRowsInSection(0), 2);
    fs::remove(dir / "b.jpg");
    gallery->viewDidAppear(false);
    EXPECT_EQ(gallery->tableView()->numberOfRowsInSection(0), 2); // three: the second row is half full
    window->display();
    auto* second = dynamic_cast<GalleryTableViewCell*>(gallery->tableView()->cellForRowAtIndexPath({0, 1}));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->subCellFileName1(), "a2.jpg");
    EXPECT_FALSE(second->subCellFileName2());
    EXPECT_EQ(second->secondBkView()->alpha(), 0);
}

TEST_F(GalleryTest, CellPlacesHalvesAndDeleteButtonsAndReportsWhatWasTouched)
{
    savePainting("Wide");
    savePainting("Tall");
    // A landscape thumbnail: rewrite "Wide.jpg" from a wide canvas.
    ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(testing::makePhoto(400, 300)));
    DataModel::sharedDataModel()->setFileTitle("Wide");
    DataModel::sharedDataModel()->setSavedFile(fnd::fileIdentity((dir / "Wide.art").string()));
    ASSERT_TRUE(DataModel::sharedDataModel()->saveToFiles());
    std::vector<std::string> deleted;
    auto cellRef = std::make_shared<GalleryTableViewCell>(gfx::Rect{0, 0, 320, 150}, "MyIdentifier",
                                                          [&](const std::string& name) { deleted.push_back(name); });
    GalleryTableViewCell& cell = *cellRef;
    cell.setSubCellFileName1("Tall.jpg");
    cell.setSubCellFileName2(std::string("Wide.jpg"));
    EXPECT_EQ(cell.firstBkView()->image()->name, GalleryTableViewCell::kPortraitShadow);
    EXPECT_EQ(cell.secondBkView()->image()->name, GalleryTableViewCell::kLandscapeShadow);
    EXPECT_EQ(cell.firstImgView()->accessibilityLabel(), "Tall");
    EXPECT_EQ(cell.secondDeleteBtn()->accessibilityLabel(), "Delete Wide");

    // Each frame fits its thumbnail's shape: 20 points wider and higher, centred in its half,
    // the thumbnail at (10, 5) in it.
    cell.setEditing(true, false);
    cell.layoutSubviews();
    EXPECT_EQ(cell.secondImgView()->frame(), gfx::Rect(10, 5, 120, 90));
    EXPECT_EQ(cell.secondBkView()->frame(), gfx::Rect(170, 20, 140, 110));
    const gfx::Rect tall = cell.firstImgView()->frame();
    EXPECT_EQ(tall.origin, (gfx::Point{10, 5}));
    EXPECT_EQ(cell.firstBkView()->frame().size, (gfx::Size{tall.width() + 20, tall.height() + 20}));
    EXPECT_EQ(cell.firstDeleteBtn()->frame(), gfx::Rect(-5, -10, 30, 30));
    EXPECT_EQ(cell.firstDeleteBtn()->alpha(), 1);
    cell.secondDeleteBtnAction();
    EXPECT_EQ(deleted, std::vector<std::string>{"Wide.jpg"});
    cell.setEditing(false, false);
    cell.layoutSubviews();
    EXPECT_EQ(cell.secondDeleteBtn()->alpha(), 0);

    // A touch on the right thumbnail selects it; one on the margin selects nothing.
    auto touchAt = [&](gfx::Point p) {
        auto t = std::make_shared<ui::Touch>(cellRef, nullptr, cell.convertPointToView(p, nullptr), now(), 1);
        cell.touchesBegan(ui::TouchSet({t}), ui::Event(now(), ui::TouchSet({t})));
    };
    touchAt({169 + 10 + 60, 9 + 5 + 45});
    EXPECT_EQ(cell.selectedFileName(), std::optional<std::string>("Wide.jpg"));
    touchAt({2, 2});
    EXPECT_FALSE(cell.selectedFileName());

    // A square painting's frame is square too, as high as the row allows.
    ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(testing::makePhoto(300, 300)));
    DataModel::sharedDataModel()->setFileTitle("Square");
    ASSERT_TRUE(DataModel::sharedDataModel()->saveToFiles());
    cell.setSubCellFileName2(std::string("Square.jpg"));
    cell.layoutSubviews();
    EXPECT_EQ(cell.secondBkView()->frame(), gfx::Rect(170, 5, 140, 140));
}

// The keyboard walks the paintings: the arrows move a mark (held at the ends), Return opens the
// marked painting, Delete marks it for deletion in the edit mode, whose Escape keeps it.
TEST_F(GalleryTest, ArrowsMarkAPaintingReturnOpensItAndDeleteGoesThroughTheEditMode)
{
    for (const char* title : {"A", "B", "C"})
        savePainting(title);
    gallery->viewDidAppear(false);
    settle();
    auto key = [&](ui::Key k, unsigned modifiers = ui::kModifierNone) {
        return window->sendKey(ui::KeyEvent{k, modifiers, true, false});
    };
    EXPECT_TRUE(key(ui::Key::Right));
    EXPECT_EQ(gallery->keyMark(), std::optional<std::size_t>(0));
    key(ui::Key::Down);
    EXPECT_EQ(gallery->keyMark(), std::optional<std::size_t>(2));
    key(ui::Key::Right);
    EXPECT_EQ(gallery->keyMark(), std::optional<std::size_t>(2));
    key(ui::Key::Up);
    EXPECT_EQ(gallery->keyMark(), std::optional<std::size_t>(0));
    key(ui::Key::Right);
    auto* row = dynamic_cast<GalleryTableViewCell*>(gallery->tableView()->cellForRowAtIndexPath({0, 0}));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->markedHalf(), std::optional<int>(1));

    key(ui::Key::Delete);
    EXPECT_TRUE(gallery->isEditing());
    EXPECT_EQ(gallery->files(), (std::vector<std::string>{"A.jpg", "C.jpg"}));
    EXPECT_EQ(gallery->filesToDelete(), std::vector<std::string>{"B.jpg"});
    key(ui::Key::Escape);
    EXPECT_FALSE(gallery->isEditing());
    EXPECT_EQ(gallery->files().size(), 3u);
    EXPECT_TRUE(fs::exists(dir / "B.art"));

    key(ui::Key::Return);
    settle();
    EXPECT_EQ(stackDepth(), 2u);
    EXPECT_EQ(DataModel::sharedDataModel()->fileTitle(), "B");
}

// A painting opened from elsewhere must never be saved over one already in the documents folder.
TEST_F(GalleryTest, OpenedArchivesKeepTheirTitleAndOutsideOnesNeverTakeATakenTitle)
{
    const std::string docs = dir.string();
    for (const char* name : {"Cat.art", "Cat 2.jpg", "Dog.art"})
        touch(name);
    EXPECT_EQ(GalleryViewController::titleForArchive(docs, docs + "/Cat.art"), "Cat");
    EXPECT_EQ(GalleryViewController::titleForArchive(docs, "/elsewhere/Cat.art"), "Cat 3");
    EXPECT_EQ(GalleryViewController::titleForArchive(docs, "/elsewhere/Cat.x.art"), "Cat.x");
    EXPECT_EQ(GalleryViewController::titleForArchive(docs, "/elsewhere/Bird.art"), "Bird");
    EXPECT_EQ(GalleryViewController::titleForArchive(docs, "/elsewhere/.art"), "Painting");
}

TEST_F(GalleryTest, DeletingRemovesTheMarkedThumbnailThenItsArchiveAndCancelKeepsAll)
{
    EXPECT_EQ(GalleryViewController::paintingFilesToRemove("/d", "a.b.jpg"),
              (std::vector<std::string>{"/d/a.b.jpg", "/d/a.b.art"}));
    for (const char* name : {"a.b.jpg", "a.b.art", "a.jpg", "a.art", "z.jpg", "z.art"})
        touch(name);
    gallery->viewDidAppear(false);
    gallery->editAction();
    gallery->deleteAction("a.b.jpg");
    gallery->deleteAction("z.jpg");
    EXPECT_EQ(gallery->files(), std::vector<std::string>{"a.jpg"});
    gallery->cancelAction();
    EXPECT_EQ(gallery->files().size(), 3u);
    EXPECT_TRUE(fs::exists(dir / "z.jpg"));

    gallery->editAction();
    gallery->deleteAction("a.b.jpg");
    gallery->deleteAction("z.jpg");
    gallery->doneAction();
    EXPECT_FALSE(fs::exists(dir / "a.b.jpg"));
    EXPECT_FALSE(fs::exists(dir / "a.b.art"));
    EXPECT_TRUE(fs::exists(dir / "a.jpg")); // another painting's files stay
    EXPECT_TRUE(fs::exists(dir / "a.art"));
    EXPECT_FALSE(fs::exists(dir / "z.jpg"));
    EXPECT_FALSE(fs::exists(dir / "z.art"));
    EXPECT_EQ(gallery->files(), std::vector<std::string>{"a.jpg"});
    EXPECT_FALSE(gallery->isEditing());
}

// A thumbnail that went missing or cannot be read is made again from its archive, and a painting
// whose archive cannot be read either still shows (a stand-in), so each can be opened and deleted.
// Only regular files are paintings.
TEST_F(GalleryTest, EveryPaintingShowsWhateverBecameOfItsThumbnail)
{
    savePainting("Lost");
    savePainting("Spoilt");
    fs::remove(dir / "Lost.jpg");
    std::ofstream(dir / "Spoilt.jpg") << "not a picture";
    std::ofstream(dir / "Broken.art") << "not an archive";
    fs::create_directory(dir / "Folder.jpg");
    ASSERT_EQ(::mkfifo((dir / "Pipe.jpg").c_str(), 0600), 0);
    gallery->viewDidAppear(false);
    EXPECT_EQ(gallery->files(), (std::vector<std::string>{"Broken.jpg", "Lost.jpg", "Spoilt.jpg"}));
    window->display();
    for (int row = 0; row < 2; ++row) {
        auto* cell = dynamic_cast<GalleryTableViewCell*>(gallery->tableView()->cellForRowAtIndexPath({0, row}));
        ASSERT_NE(cell, nullptr);
        EXPECT_TRUE(cell->firstImgView()->image());
        EXPECT_TRUE(row == 1 || cell->secondImgView()->image());
    }
    for (const char* remade : {"Lost.jpg", "Spoilt.jpg"}) {
        auto thumbnail = imageio::decodeFile((dir / remade).string());
        ASSERT_TRUE(thumbnail) << remade;
        EXPECT_EQ(std::max(thumbnail->width, thumbnail->height), 120);
    }
    EXPECT_FALSE(fs::exists(dir / "Broken.jpg")); // a stand-in, nothing written

    gallery->editAction();
    gallery->deleteAction("Broken.jpg");
    gallery->doneAction();
    EXPECT_FALSE(fs::exists(dir / "Broken.art"));
    EXPECT_EQ(gallery->files(), (std::vector<std::string>{"Lost.jpg", "Spoilt.jpg"}));
}

// The picker stays open under the alert when a picked photo cannot become a painting.
TEST_F(GalleryTest, APhotoThatCannotBecomeAPaintingLeavesThePickerOpenForAnother)
{
    fnd::setPicturesPath(dir.string());
    const auto good = testing::makePhoto(64, 48);
    ASSERT_TRUE(
        fnd::writeFileAtomically((dir / "good.png").string(),
                                 imageio::encodePng({good->bytes->data(), 64, 48, good->bytesPerRow, false}).value()));
    gallery->photosSelected();
    settle();
    auto* picker = dynamic_cast<ui::ImagePickerController*>(navigation->modalViewController());
    ASSERT_NE(picker, nullptr);
    auto unusable = testing::makePhoto(64, 48);
    unusable->bitsPerPixel = 24;
    gallery->imagePickerControllerDidFinishPickingImage(picker, unusable);
    settle();
    expectErrorAlert(std::string(GalleryViewController::kUnsupportedPhotoMessage) + "\nUnsupported pixel format");
    EXPECT_EQ(navigation->modalViewController(), picker);
    shownAlert()->dismissWithClickedButtonIndex(0, false);
    settle();
    EXPECT_TRUE(picker->pickPhotoAtPath((dir / "good.png").string()));
    settle();
    EXPECT_EQ(stackDepth(), 2u);
    fnd::setPicturesPath("");
}

TEST_F(GalleryTest, SheetIndicesFollowTheCamera)
{
    gallery->setCameraSupported(false);
    gallery->actionSheetClickedButtonAtIndex(
        *std::make_shared<ui::ActionSheet>("", nullptr, "", "", std::vector<std::string>{}), 2);
    EXPECT_EQ(stackDepth(), 1u); // the cancel button
    gallery->actionSheetClickedButtonAtIndex(
        *std::make_shared<ui::ActionSheet>("", nullptr, "", "", std::vector<std::string>{}), 1);
    settle();
    EXPECT_EQ(stackDepth(), 2u); // "Blank Canvas"
    navigation->popViewControllerAnimated(false);
    settle();
    gallery->setCameraSupported(true);
    gallery->actionSheetClickedButtonAtIndex(
        *std::make_shared<ui::ActionSheet>("", nullptr, "", "", std::vector<std::string>{}), 1);
    settle();
    auto* picker = dynamic_cast<ui::ImagePickerController*>(navigation->modalViewController());
    ASSERT_NE(picker, nullptr); // "From Camera"
    EXPECT_EQ(picker->sourceType(), ui::ImagePickerSourceType::Camera);
}

TEST_F(GalleryTest, OpensByTitleWithItsDotsAndSavesOnReturnOnlyAfterPainting)
{
    savePainting("Kanvaro1.v2");
    std::ofstream(dir / "Broken.art") << "not an archive";
    fs::copy_file(dir / "Kanvaro1.v2.jpg", dir / "Broken.jpg");
    gallery->viewDidAppear(false);
    const auto before = fs::last_write_time(dir / "Kanvaro1.v2.art");

    gallery->tableViewDidSelectRowAtIndexPath(*gallery->tableView(), {0, 0}); // nothing touched yet
    EXPECT_EQ(stackDepth(), 1u);
    window->display();
    auto* cell = dynamic_cast<GalleryTableViewCell*>(gallery->tableView()->cellForRowAtIndexPath({0, 0}));
    ASSERT_NE(cell, nullptr);
    cell->setSelectedFileName("Broken.jpg");
    gallery->tableViewDidSelectRowAtIndexPath(*gallery->tableView(), {0, 0});
    expectErrorAlert(GalleryViewController::kOpenFailedMessage);
    EXPECT_EQ(stackDepth(), 1u);

    cell->setSelectedFileName("Kanvaro1.v2.jpg");
    gallery->tableViewDidSelectRowAtIndexPath(*gallery->tableView(), {0, 0});
    settle();
    ASSERT_EQ(stackDepth(), 2u);
    EXPECT_EQ(DataModel::sharedDataModel()->fileTitle(), "Kanvaro1.v2");
    navigation->popViewControllerAnimated(true);
    settle();
    EXPECT_EQ(gallery->paintViewController(), nullptr);
    EXPECT_EQ(fs::last_write_time(dir / "Kanvaro1.v2.art"), before); // unchanged: not saved

    gallery->tableViewDidSelectRowAtIndexPath(*gallery->tableView(), {0, 0});
    settle();
    DataModel::sharedDataModel()->setChangesMade(true);
    navigation->popViewControllerAnimated(true);
    settle();
    EXPECT_TRUE(gallery->spinnerBkView() && gallery->spinnerBkView()->isHidden()); // shown, then hidden
    EXPECT_NE(fs::last_write_time(dir / "Kanvaro1.v2.art"), before);
}

TEST_F(GalleryTest, FailuresBecomeAlertsAndTheGalleryStays)
{
    // No blank canvas: no painting screen without a canvas.
    gallery->failBlank = true;
    gallery->blankSelected();
    settle();
    EXPECT_EQ(stackDepth(), 1u);
    expectErrorAlert(GalleryViewController::kBlankFailedMessage);
    settle();

    // A photo in a pixel format the raw image refuses.
    auto photo = testing::makePhoto(64, 48);
    photo->bitsPerPixel = 24;
    gallery->imagePickerControllerDidFinishPickingImage(nullptr, photo);
    settle();
    EXPECT_EQ(stackDepth(), 1u);
    expectErrorAlert(std::string(GalleryViewController::kUnsupportedPhotoMessage) + "\nUnsupported pixel format");
    settle();

    // A save that cannot be written: the user hears of it, and what was saved before stays.
    gallery->failBlank = false;
    gallery->blankSelected();
    settle();
    const std::string title = DataModel::sharedDataModel()->fileTitle();
    fs::create_directories(dir / (title + ".art") / "in-the-way");
    DataModel::sharedDataModel()->setChangesMade(true);
    navigation->popViewControllerAnimated(true);
    settle();
    ui::AlertView* failed = shownAlert();
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->title(), "Error");
    EXPECT_EQ(failed->message().rfind(std::string(GalleryViewController::kSaveFailedMessage) + "\n", 0), 0u);
    EXPECT_EQ(failed->buttonTitleAtIndex(failed->firstOtherButtonIndex()), GalleryViewController::kTryAgainButton);
    EXPECT_TRUE(fs::is_directory(dir / (title + ".art") / "in-the-way"));
}

} // namespace

namespace {

// The document stays shared after the save on return; closing the window later must not write a
// painting that was deleted meanwhile back to disk.
TEST_F(GalleryTest, ClosingInTheGallerySavesNothingAndClosingWhilePaintingSaves)
{
    gallery->blankSelected();
    settle();
    DataModel::sharedDataModel()->setChangesMade(true);
    const std::string title = DataModel::sharedDataModel()->fileTitle();
    navigation->popViewControllerAnimated(true);
    settle();
    ASSERT_TRUE(fs::exists(dir / (title + ".art")));
    gallery->editAction();
    gallery->deleteAction(title + ".jpg");
    gallery->doneAction();
    EXPECT_TRUE(gallery->saveBeforeTerminating());
    EXPECT_FALSE(fs::exists(dir / (title + ".art")));
    EXPECT_FALSE(fs::exists(dir / (title + ".jpg")));

    gallery->blankSelected();
    settle();
    DataModel::sharedDataModel()->setChangesMade(true);
    EXPECT_TRUE(gallery->saveBeforeTerminating());
    EXPECT_TRUE(fs::exists(dir / (DataModel::sharedDataModel()->fileTitle() + ".jpg")));
}

// A recovery copy that cannot be read is renamed, byte for byte, and the user hears of it once: a
// later start finds no copy to offer and says nothing.
TEST_F(GalleryTest, UnreadableRecoveryCopyIsSetAsideAndReportedOnce)
{
    const fs::path folder = dir / recovery::kFolderName;
    fs::create_directories(folder);
    std::ofstream(folder / "Kanvaro7.art") << "not an archive";
    gallery->offerRecovery();
    window->display();
    ui::AlertView* alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), GalleryViewController::kUnreadableTitle);
    EXPECT_FALSE(fs::exists(folder / "Kanvaro7.art"));
    std::ifstream aside(folder / "Kanvaro7.art.unreadable");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), "not an archive");
    EXPECT_FALSE(recovery::findCopy());

    alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), false);
    settle();
    ASSERT_EQ(shownAlert(), nullptr);
    gallery->offerRecovery();
    EXPECT_EQ(shownAlert(), nullptr);
    EXPECT_TRUE(fs::exists(folder / "Kanvaro7.art.unreadable"));
    EXPECT_EQ(gallery->files().size(), 0U);
}

// Declining the offer removes the copy for good; a painting named at launch waits for the answer
// and opens after it.
TEST_F(GalleryTest, DiscardingTheRecoveryCopyRemovesItThenOpensTheFileNamedAtLaunch)
{
    savePainting("Named");
    ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas());
    ASSERT_TRUE(recovery::write(DataModel::sharedDataModel()->recoverySnapshot(), recovery::folder()));
    DataModel::releaseSharedDataModel();

    gallery->offerRecovery((dir / "Named.art").string());
    settle();
    EXPECT_EQ(navigation->topViewController(), gallery.get());
    ui::AlertView* alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), GalleryViewController::kRestoreTitle);
    gallery->alertViewClickedButtonAtIndex(*alert, alert->cancelButtonIndex()); // Discard
    settle();
    EXPECT_FALSE(recovery::findCopy());
    EXPECT_NE(navigation->topViewController(), gallery.get());
    ASSERT_TRUE(DataModel::sharedDataModel());
    EXPECT_EQ(DataModel::sharedDataModel()->fileTitle(), "Named");
}

// A file dropped while something lies over the list (the edit mode, an alert, the photo picker)
// waits for it to go and opens then, in the order dropped; one waiting while a painting is open
// opens once the gallery is back.
TEST_F(GalleryTest, DropsWaitForWhatIsInFrontAndOpenInTheirOrder)
{
    savePainting("First");
    savePainting("Second");
    gallery->viewDidAppear(false);
    gallery->editAction();
    EXPECT_TRUE(ui::deliverFileDrop(*window, (dir / "First.art").string()));
    settle();
    EXPECT_EQ(stackDepth(), 1u);
    gallery->cancelAction();
    auto busy = std::make_shared<ui::AlertView>("Busy", "", nullptr, "OK", std::vector<std::string>{});
    busy->show();
    gallery->presentImagePickerWithSourceType(ui::ImagePickerSourceType::PhotoLibrary);
    settle();
    // The picker takes photos itself; a painting it cannot pick goes to the gallery beneath.
    EXPECT_TRUE(ui::deliverFileDrop(*window, (dir / "Second.art").string()));
    busy->dismissWithClickedButtonIndex(0, false);
    settle();
    EXPECT_EQ(stackDepth(), 1u);
    EXPECT_EQ(gallery->pendingDrops().size(), 2u);

    gallery->imagePickerControllerDidCancel(
        dynamic_cast<ui::ImagePickerController*>(navigation->modalViewController()));
    settle();
    ASSERT_EQ(stackDepth(), 2u);
    EXPECT_EQ(DataModel::sharedDataModel()->fileTitle(), "First");
    navigation->popViewControllerAnimated(false);
    settle();
    ASSERT_EQ(stackDepth(), 2u);
    EXPECT_EQ(DataModel::sharedDataModel()->fileTitle(), "Second");
    EXPECT_TRUE(gallery->pendingDrops().empty());
}

} // namespace
