#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "DataModel.h"
#include "Foundation/Date.h"
#include "Foundation/FileIdentity.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "Graphics/PixelFormat.h"
#include "ImageIO/Decoder.h"
#include "PaintingFixtures.h"
#include "Recovery.h"

namespace fs = std::filesystem;

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KANVARO_TEST_ADDRESS_SANITIZER 1 // either reserves address space that a limit would refuse
#endif
#endif

namespace {

// 2009-01-01 00:00:00 UTC and 2009-06-01 12:00:00 UTC, in seconds since 2001-01-01.
constexpr double kNewYear2009 = 252460800.0;
constexpr double kJune2009 = 265550400.0;

// The canvas's PNG in a painting archive.
std::vector<std::uint8_t> paintingDataOf(const std::string& path)
{
    std::vector<std::uint8_t> png;
    auto coder = fnd::KeyedUnarchiver::fromFile(path);
    if (coder)
        (void)coder->decodeRootObject("DataModel", [&](fnd::KeyedUnarchiver& root) {
            root.decodeObject("Canvas", "Canvas", [&](fnd::KeyedUnarchiver& canvas) {
                if (auto data = canvas.decodeData("paintingData"))
                    png.assign(data->begin(), data->end());
            });
        });
    return png;
}

class DataModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnd::setDocumentsPath(dir.string());
        fnd::setSecondsSinceReferenceDateOverride(kNewYear2009);
    }
    void TearDown() override
    {
        DataModel::releaseSharedDataModel();
        fnd::setSecondsSinceReferenceDateOverride(std::nullopt);
        fnd::setDocumentsPath("");
    }

    // Saves the shared document and reopens it from its file, as the gallery does.
    DataModel* saveAndReopen()
    {
        DataModel* model = DataModel::sharedDataModel();
        EXPECT_TRUE(model->saveToFiles());
        std::string path = model->getFullPath();
        return DataModel::sharedDataModelWithArchivePath(path);
    }

    test_support::TempFolder tempFolder{"kanvaro-docs"};
    fs::path dir = tempFolder.path();
};

} // namespace

TEST_F(DataModelTest, TitlesAndPathsComeFromTheSecondsSince2001)
{
    DataModel first;
    EXPECT_EQ(first.fileTitle(), "Kanvaro252460800");
    fnd::setSecondsSinceReferenceDateOverride(kJune2009);
    DataModel second;
    EXPECT_EQ(second.fileTitle(), "Kanvaro265550400");
    EXPECT_EQ(second.getFullPath(), dir.string() + "/Kanvaro265550400.art");
    EXPECT_EQ(second.getThumbnailFullPath(), dir.string() + "/Kanvaro265550400.jpg");
    EXPECT_EQ(second.getDocumentsDirectoryAndSlash(), dir.string() + "/");
}

TEST_F(DataModelTest, TwoDocumentsInOneSecondGetDifferentTitles)
{
    ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas());
    std::string firstTitle = DataModel::sharedDataModel()->fileTitle();
    ASSERT_TRUE(DataModel::sharedDataModel()->saveToFiles());
    ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas());
    EXPECT_EQ(firstTitle, "Kanvaro252460800");
    EXPECT_EQ(DataModel::sharedDataModel()->fileTitle(), "Kanvaro252460801");
    // A leftover thumbnail alone also keeps its title taken.
    fs::remove(dir / "Kanvaro252460800.art");
    EXPECT_EQ(DataModel().fileTitle(), "Kanvaro252460801");
}

TEST_F(DataModelTest, BlankPaintingReopensWithItsPixelsAndNothingElse)
{
    DataModel* model = DataModel::sharedDataModelWithBlankCanvas();
    ASSERT_TRUE(model);
    model->setChangesMade(true);
    Canvas& canvas = *model->canvas();
    testing::paintStroke(canvas, {100, 20, 300, 30}, {0.8f, 0.1f, 0.2f, 1}); // near the top
    canvas.setCurStrokeOpacity(0.6f);
    auto before = canvas.createThumbnail(1024, false);

    DataModel* reopened = saveAndReopen();
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->rawImage(), nullptr);
    EXPECT_FALSE(reopened->changesMade());
    EXPECT_EQ(reopened->origImage(), nullptr);
    EXPECT_TRUE(reopened->fileTitle().empty());
    auto after = reopened->canvas()->createThumbnail(1024, false);
    testing::expectSamePixels(*before, *after);
    EXPECT_GT(gfx::alphaOf(after->pixelAt(200, 30)), 0u); // still near the top
    EXPECT_EQ(gfx::alphaOf(after->pixelAt(200, 1000)), 0u);
    // Nothing to undo: the strokes were merged into the stored painting.
    reopened->canvas()->undo();
    testing::expectSamePixels(*before, *reopened->canvas()->createThumbnail(1024, false));
}

// A made document holds a photo's pixels once, as its raw image: the decoded photo goes once the
// raw image is made (an upright photo's bytes are the raw image's), and the photo it shows
// shares the raw image's pixels.
TEST_F(DataModelTest, MakingADocumentKeepsThePhotoOnlyAsItsRawImage)
{
    auto upright = testing::makePhoto(640, 480);
    std::weak_ptr<imageio::DecodedImage> photo = upright;
    std::weak_ptr<std::vector<std::uint8_t>> bytes = upright->bytes;
    DataModel* model = DataModel::sharedDataModelWithUIImage(std::move(upright)).value();
    ASSERT_TRUE(model);
    EXPECT_TRUE(photo.expired());
    EXPECT_EQ(bytes.lock(), model->rawImage()->pixels());
    ASSERT_TRUE(model->origImage());
    EXPECT_EQ(model->origImage()->data(), model->rawImage()->pixels()->data());

    auto turned = testing::makePhoto(1600, 1200, imageio::kOrientationRight);
    bytes = turned->bytes;
    model = DataModel::sharedDataModelWithUIImage(std::move(turned)).value();
    ASSERT_TRUE(model);
    EXPECT_TRUE(bytes.expired());
    EXPECT_EQ(model->rawImage()->width(), 768);
    EXPECT_EQ(model->origImage()->data(), model->rawImage()->pixels()->data());
}

TEST_F(DataModelTest, PhotoPaintingReopensWithItsRawImageTextureAndPaper)
{
    auto photo = testing::makePhoto(160, 120);
    DataModel* model = DataModel::sharedDataModelWithUIImage(photo).value_or(nullptr);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->canvas()->width(), 1024);
    EXPECT_EQ(model->canvas()->height(), 768);
    model->canvas()->setTextureName("Canvas");
    model->canvas()->setBackgroundColor({0.2f, 0.4f, 0.6f, 1});
    testing::paintStroke(*model->canvas(), {10, 10, 50, 50}, {0, 0, 1, 0.5f});
    auto before = model->canvas()->createThumbnail(1024, true);
    std::vector<std::uint8_t> pixels = *model->rawImage()->pixels();

    DataModel* reopened = saveAndReopen();
    ASSERT_TRUE(reopened);
    ASSERT_TRUE(reopened->rawImage());
    EXPECT_EQ(reopened->rawImage()->width(), 160);
    EXPECT_EQ(*reopened->rawImage()->pixels(), pixels);
    EXPECT_EQ(reopened->canvas()->textureName(), std::optional<std::string>("Canvas"));
    EXPECT_NEAR(reopened->canvas()->backgroundColor().blue, 0.6f, 1e-6);
    testing::expectSamePixels(*before, *reopened->canvas()->createThumbnail(1024, true));
    ASSERT_TRUE(reopened->rawImage()->createCompatibleThumbnailAtSize(29));
}

TEST_F(DataModelTest, ThumbnailIsAJpegWhoseLongerSideIs120)
{
    ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas());
    ASSERT_TRUE(DataModel::sharedDataModel()->saveToFiles());
    auto jpeg = imageio::decodeFile(DataModel::sharedDataModel()->getThumbnailFullPath());
    ASSERT_TRUE(jpeg.ok()) << jpeg.error();
    EXPECT_EQ(jpeg.value().width, 83);
    EXPECT_EQ(jpeg.value().height, 120);
}

TEST_F(DataModelTest, MakingANewDocumentGivesUpTheOldOneEvenWhenItFails)
{
    ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas());
    auto unsupported = std::make_shared<imageio::DecodedImage>(*testing::makePhoto(8, 8));
    unsupported->byteOrder = imageio::kByteOrder16Big;
    EXPECT_FALSE(DataModel::sharedDataModelWithUIImage(unsupported));
    ASSERT_NE(DataModel::sharedDataModel(), nullptr); // the incomplete new one
    EXPECT_EQ(DataModel::sharedDataModel()->rawImage(), nullptr);
    EXPECT_EQ(DataModel::sharedDataModelWithArchivePath((dir / "missing.art").string()), nullptr);
    EXPECT_EQ(DataModel::sharedDataModel(), nullptr);
}

TEST_F(DataModelTest, SavingIntoAnUnusableFolderFailsAndKeepsTheOldFiles)
{
    DataModel* model = DataModel::sharedDataModelWithBlankCanvas();
    ASSERT_TRUE(model->saveToFiles());
    auto oldBytes = testing::readAll(model->getFullPath());
    // The archive's name is now taken by a folder that cannot be replaced by a file.
    fs::remove(model->getFullPath());
    fs::create_directories(fs::path(model->getFullPath()) / "occupied");
    std::vector<std::string> logged;
    auto previous = fnd::setLogSink([&](const std::string& line) { logged.push_back(line); });
    EXPECT_FALSE(model->saveToFiles());
    fnd::setLogSink(previous);
    EXPECT_FALSE(logged.empty());
    EXPECT_TRUE(fs::is_directory(model->getFullPath()));
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    EXPECT_FALSE(oldBytes.empty());
}

TEST_F(DataModelTest, AFailingThumbnailLeavesTheOldArchive)
{
    DataModel* model = DataModel::sharedDataModelWithBlankCanvas();
    ASSERT_TRUE(model->saveToFiles());
    const auto oldArchive = testing::readAll(model->getFullPath());
    model->canvas()->setBackgroundColor(gfx::Color::fromBytes(10, 20, 30)); // a different archive
    // The thumbnail's name is now taken by a folder that cannot be replaced by a file.
    fs::remove(model->getThumbnailFullPath());
    fs::create_directories(fs::path(model->getThumbnailFullPath()) / "occupied");
    std::vector<std::string> logged;
    auto previous = fnd::setLogSink([&](const std::string& line) { logged.push_back(line); });
    const auto saved = model->saveToFiles();
    fnd::setLogSink(previous);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(logged.empty());
    EXPECT_EQ(testing::readAll(model->getFullPath()), oldArchive);
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(DataModelTest, APaintingImageThatCannotBeMadeFailsTheSaveAndKeepsTheOldArchive)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(KANVARO_TEST_ADDRESS_SANITIZER)
    GTEST_SKIP() << "an address-space limit cannot be used under a sanitizer";
#endif
    DataModel* model = DataModel::sharedDataModelWithBlankCanvas();
    ASSERT_TRUE(model->saveToFiles());
    const auto oldArchive = testing::readAll(model->getFullPath());
    // In a child process whose address space has no room left for a canvas-sized surface, as
    // when memory runs out during a save.
    auto child = [&] {
        std::ifstream statm("/proc/self/statm");
        std::uint64_t pages = 0;
        statm >> pages;
        const rlim_t room = pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) + (std::uint64_t{1} << 20);
        const rlimit limit{room, room};
        ::setrlimit(RLIMIT_AS, &limit);
        const auto saved = model->saveToFiles();
        const bool kept = testing::readAll(model->getFullPath()) == oldArchive;
        std::exit(!saved && saved.error().find("paintingData") != std::string::npos && kept ? 0 : 1);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

TEST_F(DataModelTest, TheLargestPhotoWeImportIsSavedAndOpensAgain)
{
    // 64 Mi pixels, kept as decoded: the raw image alone is 256 MiB in the archive.
    auto photo = testing::makePhoto(imageio::kMaxDecodeSide, imageio::kMaxDecodePixels / imageio::kMaxDecodeSide);
    ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(photo));
    photo.reset();
    DataModel* reopened = saveAndReopen();
    ASSERT_TRUE(reopened);
    const RawImage& raw = *reopened->rawImage();
    ASSERT_EQ(raw.width(), imageio::kMaxDecodeSide);
    ASSERT_EQ(raw.height(), 4096);
    auto expected = [](unsigned x, unsigned y) {
        return 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x ^ y) & 0xFF);
    };
    for (auto [x, y] : {std::pair{0, 0}, std::pair{1234, 567}, std::pair{16383, 4095}})
        EXPECT_EQ(raw.pixelAtX(x, y).value, expected(x, y));
    EXPECT_EQ(reopened->canvas()->width(), 1024);
}

namespace {
// The application's snapshot of a document for the recovery writer.
recovery::Snapshot snapshotOf(const DataModel& model) { return model.recoverySnapshot(); }
} // namespace

// The recovery copy is written on another thread from a snapshot taken when it is asked for: it
// holds the painting of that moment byte for byte as a save would, whatever is painted meanwhile,
// and once discarded no write still under way can bring it back.
TEST_F(DataModelTest, RecoveryCopyArchivesAsASaveOfThatMomentAndStaysGoneOnceDiscarded)
{
    DataModel* model = DataModel::sharedDataModelWithUIImage(testing::makePhoto(160, 120)).value_or(nullptr);
    ASSERT_TRUE(model);
    Canvas& canvas = *model->canvas();
    canvas.setTextureName("Canvas");
    canvas.setBackgroundColor({0.2f, 0.4f, 0.6f, 1});
    testing::paintStroke(canvas, {10, 10, 300, 200}, {0, 0, 1, 0.5f});
    canvas.saveUndoState();
    canvas.setPrevStrokeOpacity(0.5f);
    testing::paintStroke(canvas, {200, 100, 400, 300}, {1, 0, 0, 0.8f});
    canvas.setCurStrokeOpacity(0.7f);
    model->setChangesMade(true);

    recovery::Keeper keeper;
    keeper.keep(snapshotOf(*model), recovery::folder());
    ASSERT_TRUE(model->saveToFiles());
    testing::paintStroke(canvas, {0, 0, 1024, 768}, {0, 1, 0, 1}); // after the snapshot was taken
    keeper.waitUntilIdle();
    const fs::path copy = dir / "Recovery" / (model->fileTitle() + ".art");
    EXPECT_FALSE(paintingDataOf(copy.string()).empty());
    EXPECT_EQ(paintingDataOf(copy.string()), paintingDataOf(model->getFullPath()));
    auto restored = DataModel::initWithRecoveryCopy(copy.string());
    ASSERT_TRUE(restored) << restored.error();
    EXPECT_EQ(*restored.value()->rawImage()->pixels(), *model->rawImage()->pixels());

    for (int i = 0; i < 20; ++i) {
        keeper.keep(snapshotOf(*model), recovery::folder());
        keeper.discard();
        ASSERT_FALSE(fs::exists(copy)) << "after keep and discard number " << i;
    }
}

// A painting's photo is written with its first recovery copy and only named by the copies after it,
// which write the canvas alone; each restores photo and painting exactly, and a save takes every
// file along. A normal open refuses such a copy rather than open it without its photo.
TEST_F(DataModelTest, RecoveryCopiesWriteThePhotoOnceAndRestoreExactly)
{
    DataModel* model = DataModel::sharedDataModelWithUIImage(testing::makePhoto(640, 480)).value();
    ASSERT_TRUE(model);
    model->setChangesMade(true);
    const fs::path folder = dir / "Recovery";
    const std::string copy = recovery::copyPath(folder.string(), model->fileTitle());
    recovery::Keeper keeper;
    const auto keepCopy = [&] {
        EXPECT_TRUE(keeper.keepAndWait(snapshotOf(*model), folder.string()));
        std::vector<fs::path> photos;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".photo")
                photos.push_back(entry.path());
        return photos;
    };
    const std::vector<fs::path> first = keepCopy();
    ASSERT_EQ(first.size(), 1u);
    struct stat written {};
    ASSERT_EQ(::stat(first[0].c_str(), &written), 0);

    testing::paintStroke(*model->canvas(), {100, 100, 300, 200}, {1, 0, 0, 0.8f});
    model->canvas()->saveUndoState();
    EXPECT_EQ(keepCopy(), first);
    struct stat after {};
    ASSERT_EQ(::stat(first[0].c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, written.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, written.st_mtim.tv_nsec);
    EXPECT_LT(fs::file_size(copy), 640u * 480 * 4); // the canvas alone

    auto restored = DataModel::initWithRecoveryCopy(copy);
    ASSERT_TRUE(restored) << restored.error();
    EXPECT_EQ(*restored.value()->rawImage()->pixels(), *model->rawImage()->pixels());
    testing::expectSamePixels(*model->canvas()->createThumbnail(1024, true),
                              *restored.value()->canvas()->createThumbnail(1024, true));
    std::string reason;
    EXPECT_FALSE(DataModel::initWithArchiveData(testing::readAll(copy), &reason));
    EXPECT_NE(reason.find("kept apart"), std::string::npos) << reason;

    keeper.discard();
    EXPECT_TRUE(fs::is_empty(folder));
}

// A copy never names a photo file that is not there: one removed behind the writer's back is
// written again, a copy whose photo is gone is refused, and photo files that no copy names (a
// crash between photo and copy) go at launch, unless a running Kanvaro is writing them.
TEST_F(DataModelTest, RecoveryCopiesNeverNameAMissingPhoto)
{
    DataModel* model = DataModel::sharedDataModelWithUIImage(testing::makePhoto(64, 48)).value();
    ASSERT_TRUE(model);
    model->setChangesMade(true);
    const fs::path folder = dir / "Recovery";
    const std::string copy = recovery::copyPath(folder.string(), model->fileTitle());
    const auto photos = [&] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder))
            count += entry.path().extension() == ".photo";
        return count;
    };
    auto keeper = std::make_unique<recovery::Keeper>();
    ASSERT_TRUE(keeper->keepAndWait(snapshotOf(*model), folder.string()));
    ASSERT_EQ(photos(), 1);
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".photo")
            fs::remove(entry.path());
    EXPECT_FALSE(DataModel::initWithRecoveryCopy(copy));
    ASSERT_TRUE(keeper->keepAndWait(snapshotOf(*model), folder.string()));
    EXPECT_TRUE(DataModel::initWithRecoveryCopy(copy));

    fs::remove(copy); // as if the writer died between photo and copy
    recovery::removeStrayPhotos();
    EXPECT_EQ(photos(), 1); // its writer still runs
    keeper.reset();
    recovery::removeStrayPhotos();
    EXPECT_EQ(photos(), 0);
}

// Two Kanvaros on one documents folder: a copy whose writer still runs is neither offered nor
// removed by the other, and the other's copies do not touch it; once its writer is gone, as after
// a crash, it is offered.
TEST_F(DataModelTest, RecoveryCopyOfARunningKanvaroIsLeftAloneUntilItIsGone)
{
    const auto keeping = [](const std::string& title) {
        DataModel document;
        document.setCanvas(Canvas::initBlank());
        document.setFileTitle(title);
        auto keeper = std::make_unique<recovery::Keeper>();
        EXPECT_TRUE(keeper->keepAndWait(snapshotOf(document), recovery::folder()));
        return keeper;
    };
    auto running = keeping("Running");
    const std::string copy = recovery::copyPath(recovery::folder(), "Running");
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_FALSE(recovery::findCopy());

    keeping("Other")->discard();
    recovery::removeCopyOf("Running"); // as the other's Discard would
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_FALSE(recovery::findCopy());

    running.reset(); // gone without a save
    EXPECT_EQ(recovery::findCopy(), copy);
}

// Two Kanvaros with one painting open, and a recovery copy restored after a later save: none
// writes over a file saved after it read it; each saves beside it under the next free title.
TEST_F(DataModelTest, ASaveNeverWritesOverAFileSavedElsewhereAfterItWasRead)
{
    DataModel* first = DataModel::sharedDataModelWithBlankCanvas();
    first->setFileTitle("Cat");
    ASSERT_TRUE(first->saveToFiles());
    ASSERT_EQ(first->savedFile(), fnd::fileIdentity(first->getFullPath()));
    // Another Kanvaro opens it, as the gallery does; a recovery copy is kept of this one.
    auto second = DataModel::initWithArchiveData(testing::readAll(first->getFullPath()));
    second->setFileTitle("Cat");
    second->setSavedFile(fnd::fileIdentity(first->getFullPath()));
    ASSERT_TRUE(recovery::write(snapshotOf(*first), recovery::folder()));
    const auto copy = testing::readAll(recovery::copyPath(recovery::folder(), "Cat"));

    first->canvas()->setBackgroundColor({0.1f, 0.2f, 0.3f, 1});
    ASSERT_TRUE(first->saveToFiles()); // its own file: replaced
    EXPECT_EQ(first->fileTitle(), "Cat");
    const auto firstSaved = testing::readAll((dir / "Cat.art").string());

    ASSERT_TRUE(second->saveToFiles());
    EXPECT_EQ(second->fileTitle(), "Cat 2");
    EXPECT_EQ(testing::readAll((dir / "Cat.art").string()), firstSaved);
    EXPECT_TRUE(fs::exists(dir / "Cat 2.jpg"));
    ASSERT_TRUE(second->saveToFiles()); // now its own
    EXPECT_EQ(second->fileTitle(), "Cat 2");

    auto restored = DataModel::initWithArchiveData(copy);
    ASSERT_TRUE(restored);
    restored->setFileTitle("Cat");
    ASSERT_TRUE(restored->saveToFiles());
    EXPECT_EQ(restored->fileTitle(), "Cat 3");
    EXPECT_EQ(testing::readAll((dir / "Cat.art").string()), firstSaved);
}
