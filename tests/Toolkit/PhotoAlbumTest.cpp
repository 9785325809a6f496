// Saving to the photo album: new numbered PNGs in the exports folder, never replacing one, and
// the completion called once, later, with the error when the save failed.
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

    // Saves and runs the loop; the errors the completion got, one entry per call.
    std::vector<std::optional<fnd::Error>> save()
    {
        std::vector<std::optional<fnd::Error>> calls;
        ui::saveImageToPhotoAlbum(picture,
                                  [&calls](const std::optional<fnd::Error>& error) { calls.push_back(error); });
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
        EXPECT_FALSE(calls[0].has_value());
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
    ASSERT_TRUE(calls[0].has_value());
    EXPECT_FALSE(calls[0]->message.empty());

    picture = nullptr;
    const auto nothing = save();
    ASSERT_EQ(nothing.size(), 1u);
    EXPECT_TRUE(nothing[0].has_value());
}

} // namespace
