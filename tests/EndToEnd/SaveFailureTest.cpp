// A painting whose save fails, in the whole application: quitting asks (or, with nobody to ask,
// keeps a recovery copy and ends with status 1), going back keeps a copy at once and offers it
// back, and nothing painted is lost on the way.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/Paths.h"
#include "GalleryViewController.h"
#include "Host/ApplicationMain.h"
#include "Host/HeadlessHost.h"
#include "Host/VisibleViews.h"
#include "KanvaroAppDelegate.h"
#include "Recovery.h"
#include "Support/TempFolder.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/NavigationController.h"

using host::HeadlessHost;
namespace fs = std::filesystem;

namespace {

class SaveFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnd::setDocumentsPath(documents.string());
        host.launch(host::applicationHooks(app));
        ASSERT_TRUE(host.tap("Add"));
        host.advance(0.5);
        ASSERT_TRUE(host.tap("Blank Canvas"));
        host.advance(0.6);
        paint(120);
    }
    void TearDown() override
    {
        fnd::setWriteFault(documents.string(), 0);
        fnd::setWriteFault(recovery::folder(), 0);
        host.terminate();
        DataModel::releaseSharedDataModel();
        fnd::setDocumentsPath("");
    }
    // A stroke across the canvas at height y, and time for its undo snapshot.
    void paint(double y)
    {
        ASSERT_TRUE(host.drag({40, y}, {280, y + 40}, 8, 0.2));
        host.advance(2.5);
    }
    int count(const fs::path& folder, const std::string& extension)
    {
        app.waitForPaintingCopy();
        int n = 0;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            n += it->path().extension() == extension;
        return n;
    }
    std::string copyPath() const
    {
        return recovery::copyPath(recovery::folder(), DataModel::sharedDataModel()->fileTitle());
    }
    ui::AlertView* alert(const std::string& title) { return host::findShowingAlert(host.window(), title); }

    test_support::TempFolder tempFolder{"kanvaro-save-failure"};
    fs::path documents = tempFolder.path();
    KanvaroAppDelegate app; // outlives the host, which calls it
    HeadlessHost host{2};
};

// Closing the window with a save that fails: a fresh copy first, then the question; Cancel stays
// (and more can be painted), Quit Anyway quits and leaves the copy for the next start.
TEST_F(SaveFailure, QuittingAsksAndKeepsAFreshCopyForTheNextStart)
{
    fnd::setWriteFault(documents.string(), ENOSPC);
    host.requestQuit(true);
    EXPECT_FALSE(host.hasTerminated());
    ui::AlertView* asked = alert(KanvaroAppDelegate::kQuitFailedTitle);
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->message(), "The painting could not be saved: No space left on device (" + documents.string()
                                    + ").\nQuit anyway? It will be offered back at the next start.");
    EXPECT_EQ(asked->buttonTitleAtIndex(asked->cancelButtonIndex()), "Cancel");
    EXPECT_EQ(asked->buttonTitleAtIndex(asked->firstOtherButtonIndex()), "Quit Anyway");
    EXPECT_EQ(count(recovery::folder(), ".art"), 1); // written at once, not a few seconds later
    EXPECT_EQ(count(documents, ".art"), 0);

    ASSERT_TRUE(host.tap("Cancel"));
    host.advance(0.5);
    EXPECT_FALSE(host.hasTerminated());
    paint(300); // the painting screen is still there
    const auto before = fs::last_write_time(copyPath());
    host.requestQuit(true);
    ASSERT_TRUE(alert(KanvaroAppDelegate::kQuitFailedTitle));
    EXPECT_GT(fs::last_write_time(copyPath()), before); // the copy holds the later stroke too
    ASSERT_TRUE(host.tap("Quit Anyway"));
    EXPECT_TRUE(host.hasTerminated());
    EXPECT_EQ(host.exitStatus(), 0);
    EXPECT_TRUE(fs::exists(copyPath()));
    EXPECT_EQ(count(documents, ".art"), 0);
}

// With nobody to ask the painting goes to a recovery copy and the exit status says it was not
// saved; when even the copy cannot be written the question says the painting will be lost.
TEST_F(SaveFailure, QuittingWithNobodyToAskKeepsACopyAndEndsWithStatusOne)
{
    fnd::setWriteFault(documents.string(), EROFS);
    fnd::setWriteFault(recovery::folder(), EROFS);
    host.requestQuit(true);
    ui::AlertView* asked = alert(KanvaroAppDelegate::kQuitFailedTitle);
    ASSERT_NE(asked, nullptr);
    EXPECT_NE(asked->message().find("Read-only file system"), std::string::npos);
    EXPECT_NE(asked->message().find("\nQuit anyway? It will be lost."), std::string::npos);
    ASSERT_TRUE(host.tap("Cancel"));
    host.advance(0.5);

    fnd::setWriteFault(recovery::folder(), 0);
    testing::internal::CaptureStderr();
    host.requestQuit(false);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(host.hasTerminated());
    EXPECT_EQ(host.exitStatus(), 1);
    EXPECT_NE(said.find("the painting could not be saved: Read-only file system"), std::string::npos) << said;
    EXPECT_EQ(count(recovery::folder(), ".art"), 1);
    EXPECT_EQ(count(documents, ".art"), 0);
}

// Going back with a save that fails: a copy at once, the reason on a second line, Try Again saves
// once the fault is gone; Cancel offers the copy back at once, and restoring it brings back every
// stroke.
TEST_F(SaveFailure, GoingBackKeepsACopyOffersItBackAndTryAgainSaves)
{
    fnd::setWriteFault(documents.string(), EACCES);
    ASSERT_TRUE(host.tap("Gallery"));
    host.advance(1);
    ui::AlertView* failed = alert(GalleryViewController::kErrorTitle);
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->message(), "The painting could not be saved.\nPermission denied (" + documents.string() + ")");
    EXPECT_EQ(failed->buttonTitleAtIndex(failed->firstOtherButtonIndex()), "Try Again");
    EXPECT_EQ(count(recovery::folder(), ".art"), 1);
    const std::string title = DataModel::sharedDataModel()->fileTitle();
    auto painted = DataModel::sharedDataModel()->canvas()->createThumbnail(1024, false);

    ASSERT_TRUE(host.tap("Cancel"));
    host.advance(0.5);
    ui::AlertView* offer = alert(GalleryViewController::kRestoreTitle);
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(
        offer->message().rfind("Your painting could not be saved.\nRestore \u201c" + title + "\u201d as it was at ", 0),
        0u)
        << offer->message();
    ASSERT_TRUE(host.tap("Restore"));
    host.advance(1);
    ASSERT_NE(app.paintView(), nullptr);
    auto restored = DataModel::sharedDataModel()->canvas()->createThumbnail(1024, false);
    ASSERT_EQ(restored->width(), painted->width());
    for (int y = 0; y < painted->height(); y += 8)
        for (int x = 0; x < painted->width(); x += 8)
            ASSERT_EQ(restored->pixelAt(x, y), painted->pixelAt(x, y)) << x << ", " << y;

    ASSERT_TRUE(host.tap("Gallery")); // fails again
    host.advance(1);
    ASSERT_TRUE(alert(GalleryViewController::kErrorTitle));
    fnd::setWriteFault(documents.string(), 0);
    ASSERT_TRUE(host.tap("Try Again"));
    host.advance(0.5);
    EXPECT_FALSE(alert(GalleryViewController::kErrorTitle));
    EXPECT_TRUE(fs::exists(documents / (title + ".art")));
    EXPECT_EQ(count(recovery::folder(), ".art"), 0);
    host.requestQuit(true); // saved: nothing to ask
    EXPECT_TRUE(host.hasTerminated());
}

// The application keeps the copies: one due when the painting is put away and saved is not
// written after the save, though the painting screen that asked for it has gone.
TEST_F(SaveFailure, ACopyDueWhenThePaintingIsSavedIsNeverWrittenAfterIt)
{
    ASSERT_TRUE(app.recoveryTimer() && app.recoveryTimer()->isValid()); // asked for by the snapshot
    ASSERT_TRUE(host.tap("Gallery"));
    host.advance(5);
    EXPECT_EQ(count(documents, ".art"), 1);
    EXPECT_EQ(count(recovery::folder(), ".art"), 0);
}

} // namespace
