// Running out of memory along every path that takes in or writes a person's work: each allocation
// of 4 KiB or more made while a photo is imported, a painting saved, a recovery copy kept or the
// archive tool makes a painting is made to fail in turn. Each time the work either fails with
// "Not enough memory" and changes nothing (the painting on screen, the files on disk), or succeeds
// whole; nothing ends the program, and the next try without a failure succeeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

#include "Classes/PaintViewTestSupport.h"
#include "GalleryViewController.h"
#include "ImageIO/Encoder.h"
#include "Recovery.h"
#include "Support/FailingAllocation.h"
#include "Support/RunCommand.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/NavigationController.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Runs `attempt` once to count its large allocations, then once more for each of them failing
// that one. `check(fired)` after each run (the first one included: nothing failed then) checks
// the outcome and brings everything back to how it was before the attempt.
template <typename Attempt, typename Check> void failEachLargeAllocation(Attempt attempt, Check check)
{
    failing_allocation::failNth(0);
    attempt();
    const long total = failing_allocation::largeAllocations();
    check(false);
    ASSERT_GT(total, 0);
    ::testing::Test::RecordProperty("large_allocations", static_cast<int>(total));
    for (long n = 1; n <= total; ++n) {
        SCOPED_TRACE("failing large allocation " + std::to_string(n) + " of " + std::to_string(total));
        failing_allocation::failNth(n);
        attempt();
        const bool fired = failing_allocation::fired();
        failing_allocation::failNth(0);
        check(fired);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

bool saysNotEnoughMemory(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text.find("not enough memory") != std::string::npos;
}

Bytes encodedPhoto(int width, int height, bool jpeg)
{
    auto photo = testing::makePhoto(width, height);
    const imageio::PixelsView pixels{photo->bytes->data(), width, height, photo->bytesPerRow, false};
    return (jpeg ? imageio::encodeJpeg(pixels, 0.9) : imageio::encodePng(pixels)).value();
}

void writeBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool hasTemporaryFile(const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".tmp-") != std::string::npos)
            return true;
    return false;
}

// The painting as it looks, without paper: what a save must keep.
gfx::ImageRef paintingPixels(const DataModel& model) { return model.canvas()->createThumbnail(1024, false); }

class AllocationFailureTest : public painting_test::PaintingViewTest {
protected:
    void TearDown() override
    {
        failing_allocation::failNth(0);
        PaintingViewTest::TearDown();
    }

    // A small photo painting with a stroke on it, changed since it was saved.
    DataModel& paintedDocument()
    {
        DataModel* model = DataModel::sharedDataModelWithUIImage(testing::makePhoto(40, 30)).value_or(nullptr);
        EXPECT_TRUE(model);
        testing::paintStroke(*model->canvas(), {100, 100, 300, 200}, {0.9f, 0.2f, 0.1f, 0.8f});
        model->canvas()->saveUndoState();
        EXPECT_TRUE(model->saveToFiles());
        testing::paintStroke(*model->canvas(), {400, 300, 200, 200}, {0.1f, 0.3f, 0.9f, 0.6f});
        model->setChangesMade(true);
        return *model;
    }

    // The archive at `path` opens as a painting that looks like `expected`.
    static void expectArchiveHolds(const fs::path& path, const gfx::Image& expected)
    {
        auto reopened = DataModel::initWithArchiveData(testing::readAll(path.string()));
        ASSERT_TRUE(reopened);
        testing::expectSamePixels(*paintingPixels(*reopened), expected);
    }
};

TEST_F(AllocationFailureTest, SavingFailsCleanlyOrWholly)
{
    DataModel& model = paintedDocument();
    const fs::path art = model.getFullPath();
    const fs::path jpg = model.getThumbnailFullPath();
    Bytes archive = testing::readAll(art.string());
    Bytes thumbnail = testing::readAll(jpg.string());
    const gfx::ImageRef painting = paintingPixels(model);
    fnd::Status saved;
    failEachLargeAllocation([&] { saved = model.saveToFiles(); },
                            [&](bool fired) {
                                testing::expectSamePixels(*paintingPixels(model), *painting);
                                EXPECT_TRUE(model.changesMade());
                                EXPECT_FALSE(hasTemporaryFile(dir));
                                EXPECT_EQ(model.getFullPath(), art.string()); // still its own files
                                if (saved) {
                                    expectArchiveHolds(art, *painting);
                                    archive = testing::readAll(art.string());
                                    thumbnail = testing::readAll(jpg.string());
                                } else {
                                    EXPECT_TRUE(fired);
                                    EXPECT_EQ(saved.reason(), fnd::kNotEnoughMemory) << saved.error();
                                    EXPECT_EQ(testing::readAll(art.string()), archive);
                                    EXPECT_EQ(testing::readAll(jpg.string()), thumbnail);
                                }
                            });
    ASSERT_TRUE(model.saveToFiles());
    expectArchiveHolds(art, *painting);
}

// As the application keeps a copy: the document is copied on the main thread, then archived on
// the recovery writer's thread.
fnd::Result<std::string> keepRecoveryCopy(recovery::Keeper& keeper, const DataModel& model)
{
    std::shared_ptr<const DataModel> copy = model.copyForRecovery();
    if (!copy)
        return fnd::outOfMemory("cannot copy the painting");
    return keeper.keepAndWait({copy->fileTitle(), copy, DataModel::kMaxArchiveBytes, {}, {}, {}}, recovery::folder());
}

TEST_F(AllocationFailureTest, RecoveryCopyFailsCleanlyOrWhollyAndTheNextOneIsWritten)
{
    DataModel& model = paintedDocument();
    recovery::Keeper keeper;
    ASSERT_TRUE(keepRecoveryCopy(keeper, model));
    const fs::path copy = recovery::copyPath(recovery::folder(), model.fileTitle());
    const Bytes oldCopy = testing::readAll(copy.string());
    ASSERT_FALSE(oldCopy.empty());
    testing::paintStroke(*model.canvas(), {0, 0, 500, 500}, {0.2f, 0.8f, 0.2f, 0.5f});
    const gfx::ImageRef painting = paintingPixels(model);
    fnd::Result<std::string> kept = fnd::Error{"not yet"};
    failEachLargeAllocation([&] { kept = keepRecoveryCopy(keeper, model); },
                            [&](bool fired) {
                                testing::expectSamePixels(*paintingPixels(model), *painting);
                                EXPECT_FALSE(hasTemporaryFile(recovery::folder()));
                                if (kept) {
                                    expectArchiveHolds(copy, *painting);
                                } else {
                                    EXPECT_TRUE(fired);
                                    EXPECT_EQ(kept.reason(), fnd::kNotEnoughMemory) << kept.error();
                                    EXPECT_EQ(testing::readAll(copy.string()), oldCopy);
                                }
                                writeBytes(copy, oldCopy);
                            });
    ASSERT_TRUE(keepRecoveryCopy(keeper, model));
    expectArchiveHolds(copy, *painting);
}

class ImportTest : public AllocationFailureTest {
protected:
    void SetUp() override
    {
        AllocationFailureTest::SetUp();
        gallery = std::make_shared<GalleryViewController>();
        navigation = std::make_shared<ui::NavigationController>(gallery);
        window->addSubview(navigation->viewRef());
        window->makeKeyAndVisible();
        window->display();
    }
    void TearDown() override
    {
        navigation.reset();
        gallery.reset();
        AllocationFailureTest::TearDown();
    }
    ui::AlertView* shownAlert()
    {
        for (const auto& view : window->subviews())
            if (auto* alert = dynamic_cast<ui::AlertView*>(view.get()))
                return alert;
        return nullptr;
    }
    void settle()
    {
        runUntil(now() + 1);
        window->display();
    }
    // Back to the gallery with nothing open, as before the import.
    void reset()
    {
        if (ui::AlertView* alert = shownAlert())
            alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), false);
        if (navigation->viewControllers().size() > 1)
            navigation->popViewControllerAnimated(false);
        DataModel::releaseSharedDataModel();
        settle();
    }

    std::shared_ptr<GalleryViewController> gallery;
    std::shared_ptr<ui::NavigationController> navigation;
};

TEST_F(ImportTest, ImportingAPhotoFailsWithAnAlertOrOpensTheWholePhoto)
{
    const fs::path photo = dir / "photo.png";
    writeBytes(photo, encodedPhoto(40, 30, false));
    auto expected = testing::makePhoto(40, 30);
    failEachLargeAllocation(
        [&] {
            gallery->openFileAtPath(photo.string());
            settle();
        },
        [&](bool fired) {
            if (ui::AlertView* alert = shownAlert()) {
                EXPECT_TRUE(fired);
                EXPECT_TRUE(saysNotEnoughMemory(alert->message())) << alert->message();
                EXPECT_EQ(navigation->viewControllers().size(), 1u);
            } else {
                EXPECT_EQ(navigation->viewControllers().size(), 2u);
                DataModel* model = DataModel::sharedDataModel();
                ASSERT_TRUE(model && model->rawImage() && model->canvas());
                EXPECT_EQ(model->canvas()->width(), 1024);
                ASSERT_EQ(model->rawImage()->width(), 40);
                EXPECT_EQ(0, std::memcmp(model->rawImage()->pixels()->data(), expected->bytes->data(), 40 * 30 * 4));
            }
            reset();
        });
}

// The archive tool is another process: the failing allocator is preloaded into it.
TEST(ArchiveToolTest, MakingAPaintingOfAPhotoFailsCleanlyAtEveryLargeAllocation)
{
    test_support::TempFolder folder{"kanvaro-oom-tool"};
    const fs::path photo = folder.path() / "photo.jpg";
    const fs::path art = folder.path() / "photo.art";
    writeBytes(photo, encodedPhoto(1600, 1203, true));
    const std::string command = std::string("LD_PRELOAD=") + KANVARO_FAILING_ALLOCATION_LIBRARY + " "
                                + failing_allocation::kEnvironmentVariable + "=";
    const std::string tool =
        std::string(" ") + KANVARO_ARCHIVE_TOOL + " from-photo " + photo.string() + " " + art.string() + " 2>&1";
    constexpr int kAtMost = 1000; // far more than the tool makes
    int n = 1;
    for (; n <= kAtMost; ++n) {
        SCOPED_TRACE("failing large allocation " + std::to_string(n));
        fs::remove(art);
        const auto [output, status] = test_support::runCommand(command + std::to_string(n) + tool);
        ASSERT_TRUE(WIFEXITED(status)) << output;
        const int exitCode = WEXITSTATUS(status);
        if (output.find(failing_allocation::kFiredMessage) == std::string::npos) {
            EXPECT_EQ(exitCode, 0) << output; // past the last large allocation: an ordinary run
            break;
        }
        if (exitCode == 0) {
            EXPECT_TRUE(fs::exists(art));
        } else {
            EXPECT_EQ(exitCode, 1) << output;
            EXPECT_TRUE(output.find("not enough memory") != std::string::npos) << output;
            EXPECT_FALSE(fs::exists(art));
        }
        EXPECT_FALSE(hasTemporaryFile(folder.path()));
    }
    EXPECT_GT(n, 1);
    EXPECT_LE(n, kAtMost);
    ::testing::Test::RecordProperty("large_allocations", n - 1);
}

} // namespace
