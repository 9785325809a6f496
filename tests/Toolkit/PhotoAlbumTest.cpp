// Saving to the photo album: new numbered PNGs in the exports folder, never replacing one, and
// the completion called once, later, with the new file's path or the reason the save failed.
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "Foundation/Paths.h"
#include "Graphics/BitmapContext.h"
#include "ImageIO/Decoder.h"
#include "Toolkit/PhotoAlbum.h"
#include "ToolkitTestSupport.h"

namespace {

namespace fs = std::filesystem;

class PhotoAlbumTest : public toolkit_test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        folder = fs::temp_directory_path() / ("kanvaro_album_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fnd::setExportsPath((folder / "Kanvaro").string());
        previousSink = fnd::setLogSink([](const std::string&) {});
        auto context = gfx::BitmapContext::create(30, 20);
        context->setFillColor({0.2, 0.6, 1.0, 1});
        context->fillRect({0, 0, 30, 20});
        picture = context->makeImage();
    }
    void TearDown() override
    {
        fnd::setLogSink(previousSink);
        fnd::setExportsPath("");
        fs::remove_all(folder);
        ToolkitTest::TearDown();
    }

    // Saves and runs the loop; what the completion got, one entry per call.
    std::vector<fnd::Result<std::string>> save()
    {
        std::vector<fnd::Result<std::string>> calls;
        ui::saveImageToPhotoAlbum(picture, [&calls](const fnd::Result<std::string>& saved) { calls.push_back(saved); });
        EXPECT_TRUE(calls.empty()) << "the completion comes from the run loop";
        runUntil(fnd::clock().now() + 1);
        return calls;
    }

    fs::path folder;
    gfx::ImageRef picture;
    fnd::LogSink previousSink;
};

TEST_F(PhotoAlbumTest, EachSaveIsANewNumberedPngAfterTheHighestThere)
{
    const fs::path exports = folder / "Kanvaro";
    fs::create_directories(exports);
    std::ofstream(exports / "Painting 3.png") << "an earlier export";
    std::ofstream(exports / "Painting x.png") << "not numbered";
    std::ofstream(exports / "Other 9.png") << "another name";

    for (const char* expected : {"Painting 4.png", "Painting 5.png"}) {
        const auto calls = save();
        ASSERT_EQ(calls.size(), 1u);
        ASSERT_TRUE(calls[0]) << calls[0].error();
        EXPECT_EQ(calls[0].value(), (exports / expected).string());
        const auto written = imageio::decodeFile((exports / expected).string());
        ASSERT_TRUE(written.ok()) << expected << ": " << written.error();
        EXPECT_EQ(written->width, 30);
        EXPECT_EQ(written->height, 20);
    }
    std::ifstream earlier(exports / "Painting 3.png");
    std::string text;
    std::getline(earlier, text);
    EXPECT_EQ(text, "an earlier export");
    EXPECT_EQ(std::distance(fs::directory_iterator(exports), {}), 5);
}

TEST_F(PhotoAlbumTest, FailureReachesTheCompletionOnce)
{
    fs::create_directories(folder);
    std::ofstream(folder / "Kanvaro") << "a file where the folder should be";
    const auto calls = save();
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_FALSE(calls[0]);
    EXPECT_EQ(calls[0].reason(), "Not a directory (…/Kanvaro)");

    fs::remove(folder / "Kanvaro");
    if (::geteuid() != 0) { // root writes anywhere
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        const auto denied = save();
        fs::permissions(folder, fs::perms::owner_all);
        ASSERT_EQ(denied.size(), 1u);
        ASSERT_FALSE(denied[0]);
        EXPECT_EQ(denied[0].reason(), "Permission denied (…/Kanvaro)");
    }

    picture = nullptr;
    const auto nothing = save();
    ASSERT_EQ(nothing.size(), 1u);
    EXPECT_FALSE(nothing[0]);
}

} // namespace
