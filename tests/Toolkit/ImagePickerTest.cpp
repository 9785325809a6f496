// The image picker: what reaches its delegate (a tap, a dropped file, the shutter, Cancel), the
// order of the library, the placeholder for files that cannot be shown, and the sample fallback.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "Foundation/Bundle.h"
#include "Foundation/FileOps.h"
#include "Foundation/Paths.h"
#include "ImageIO/Encoder.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/FileDrop.h"
#include "Toolkit/ImagePickerController.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/PhotoGridView.h"
#include "ToolkitTestSupport.h"

namespace {

namespace fs = std::filesystem;
using ui::ImagePickerController;
using ui::PhotoGridCell;

struct RecordingDelegate : ui::ImagePickerControllerDelegate {
    std::vector<Photo> picked;
    int cancels = 0;
    void imagePickerControllerDidFinishPickingImage(ImagePickerController*, Photo image) override
    {
        picked.push_back(image);
    }
    void imagePickerControllerDidCancel(ImagePickerController*) override { ++cancels; }
};

std::vector<std::uint8_t> solidJpeg(std::uint32_t argb, int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height), argb);
    auto jpeg =
        imageio::encodeJpeg({reinterpret_cast<const std::uint8_t*>(pixels.data()), width, height, width * 4}, 0.9);
    return jpeg.value();
}

// The largest difference of a colour byte between two 0xAARRGGBB words.
int distance(std::uint32_t a, std::uint32_t b)
{
    int largest = 0;
    for (int shift : {0, 8, 16})
        largest =
            std::max(largest, std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)));
    return largest;
}

std::uint32_t middlePixel(const imageio::DecodedImage& image)
{
    std::uint32_t word;
    std::memcpy(&word, image.bytes->data() + (image.height / 2) * image.bytesPerRow + (image.width / 2) * 4, 4);
    return word;
}

ui::View* findLabelled(ui::View& view, const std::string& label)
{
    if (view.accessibilityLabel() == label)
        return &view;
    for (const auto& subview : view.subviews())
        if (ui::View* found = findLabelled(*subview, label))
            return found;
    return nullptr;
}

class ImagePickerTest : public toolkit_test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        folder = fs::temp_directory_path() / ("kanvaro_picker_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fnd::setPicturesPath(folder.string());
        fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
        previousSink = fnd::setLogSink([this](const std::string& line) { log.push_back(line); });
    }
    void TearDown() override
    {
        fnd::setLogSink(previousSink);
        fnd::setPicturesPath("");
        fnd::setResourcePath("");
        fs::remove_all(folder);
        ToolkitTest::TearDown();
    }

    // A photo modified `age` seconds before the others' reference time.
    fs::path writePhoto(const std::string& name, std::uint32_t argb, int width, int height, int age)
    {
        const fs::path path = folder / name;
        EXPECT_TRUE(fnd::writeFileAtomically(path.string(), solidJpeg(argb, width, height)));
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(100 + age));
        return path;
    }

    std::shared_ptr<ImagePickerController>
    showPicker(ui::ThumbnailLoader::Mode mode = ui::ThumbnailLoader::Mode::Synchronous)
    {
        auto picker = std::make_shared<ImagePickerController>();
        picker->setDelegate(&delegate);
        picker->setThumbnailMode(mode);
        window->addSubview(picker->viewRef());
        return picker;
    }

    void tapAt(gfx::Point point)
    {
        const double t = fnd::clock().now();
        window->touchDown(1, point, t);
        window->touchUp(1, point, t + 0.05);
    }
    void tapCell(ImagePickerController& picker, int index)
    {
        const gfx::Rect cell = picker.photoGrid()->cellRect(index);
        tapAt(picker.photoGrid()->convertPointToView({cell.origin.x + 30, cell.origin.y + 30}, nullptr));
    }
    ui::AlertView* shownAlert() const
    {
        for (const auto& view : window->subviews())
            if (auto* alert = dynamic_cast<ui::AlertView*>(view.get()))
                return alert;
        return nullptr;
    }
    std::vector<std::string> listedNames(ImagePickerController& picker) const
    {
        std::vector<std::string> names;
        for (const auto& photo : picker.photoGrid()->photos())
            names.push_back(photo.name);
        return names;
    }

    fs::path folder;
    RecordingDelegate delegate;
    std::vector<std::string> log;
    fnd::LogSink previousSink;
};

TEST_F(ImagePickerTest, TapDeliversTheDecodedPhotoOnceNewestFirst)
{
    writePhoto("red.jpg", 0xFFE01010, 100, 80, 20);
    writePhoto("blue.JPG", 0xFF1020E0, 120, 90, 10);
    auto picker = showPicker();
    ASSERT_FALSE(picker->isShowingSamples());
    EXPECT_EQ(listedNames(*picker), (std::vector<std::string>{"blue.JPG", "red.jpg"}));

    PhotoGridCell* newest = picker->photoGrid()->cellAt(0);
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->accessibilityLabel(), "blue.JPG");
    ASSERT_EQ(newest->look(), PhotoGridCell::Look::Thumbnail);
    const int side = newest->thumbnail()->width();
    EXPECT_EQ(newest->thumbnail()->height(), side);
    EXPECT_LE(distance(newest->thumbnail()->pixelAt(side / 2, side / 2), 0xFF1020E0), 12);

    tapCell(*picker, 1);
    ASSERT_EQ(delegate.picked.size(), 1u);
    EXPECT_EQ(delegate.picked[0]->width, 100);
    EXPECT_EQ(delegate.picked[0]->height, 80);
    EXPECT_LE(distance(middlePixel(*delegate.picked[0]), 0xFFE01010), 12);

    // The delegate is dismissing the picker now: further taps and Cancel deliver nothing.
    tapCell(*picker, 0);
    picker->cancel();
    EXPECT_EQ(delegate.picked.size(), 1u);
    EXPECT_EQ(delegate.cancels, 0);
}

TEST_F(ImagePickerTest, CancelButtonEscapeAndDroppedFiles)
{
    const fs::path photo = writePhoto("dropped.jpg", 0xFF20C020, 40, 30, 0);
    {
        auto picker = showPicker();
        ui::View* cancel = findLabelled(*window, "Cancel");
        ASSERT_NE(cancel, nullptr);
        window->layoutIfNeeded();
        tapAt(cancel->convertPointToView({cancel->bounds().size.width / 2, cancel->bounds().size.height / 2}, nullptr));
        EXPECT_EQ(delegate.cancels, 1);
        EXPECT_FALSE(ui::deliverFileDrop(*window, photo.string())) << "a cancelled picker takes no drop";
        picker->view()->removeFromSuperview();
    }
    EXPECT_FALSE(ui::deliverFileDrop(*window, photo.string())) << "no picker on screen";
    auto picker = showPicker();
    EXPECT_FALSE(ui::deliverFileDrop(*window, (folder / "absent.jpg").string()));
    EXPECT_TRUE(ui::deliverFileDrop(*window, photo.string()));
    ASSERT_EQ(delegate.picked.size(), 1u);
    EXPECT_EQ(delegate.picked[0]->width, 40);
    EXPECT_EQ(delegate.cancels, 1);
    picker->view()->removeFromSuperview();

    // Released by its delegate while its view still slides out: the view's buttons, cells and
    // drops reach nobody.
    picker = showPicker();
    const auto shown = picker->viewRef();
    picker.reset();
    EXPECT_FALSE(ui::deliverFileDrop(*window, photo.string()));
    ui::View* cancel = findLabelled(*shown, "Cancel");
    ASSERT_NE(cancel, nullptr);
    tapAt(cancel->convertPointToView({5, 5}, nullptr));
    tapAt({40, 100});
    EXPECT_EQ(delegate.picked.size(), 1u);
    EXPECT_EQ(delegate.cancels, 1);

    // Escape is the Cancel button of the picker in front.
    auto front = showPicker();
    EXPECT_TRUE(window->sendKey(ui::KeyEvent{ui::Key::Escape}));
    EXPECT_EQ(delegate.cancels, 2);
}

// Unreadable, corrupt and non-regular files get the placeholder; the picker keeps working, with
// thumbnails made in the background too (a pipe opened blocking would hang the workers here).
TEST_F(ImagePickerTest, BrokenFilesShowPlaceholdersAndNeverStopThePicker)
{
    writePhoto("good.jpg", 0xFF808000, 64, 48, 0);
    std::ofstream(folder / "corrupt.jpg") << "\xFF\xD8\xFF not really a JPEG";
    std::ofstream(folder / "empty.png");
    fs::create_directories(folder / "album.jpg");
    ASSERT_EQ(::mkfifo((folder / "pipe.png").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", folder / "device.jpg");
    std::ofstream(folder / "notes.txt") << "not a photo";
    std::ofstream(folder / ".hidden.jpg") << "hidden";
    window->makeKeyAndVisible(); // where alerts show
    for (auto mode : {ui::ThumbnailLoader::Mode::Synchronous, ui::ThumbnailLoader::Mode::Background}) {
        SCOPED_TRACE(mode == ui::ThumbnailLoader::Mode::Synchronous ? "synchronous" : "background");
        delegate = {};
        auto picker = showPicker(mode);
        ui::PhotoGridView& grid = *picker->photoGrid();
        ASSERT_EQ(grid.photos().size(), 6u);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        auto settled = [&] {
            grid.refresh();
            for (std::size_t i = 0; i < grid.photos().size(); ++i)
                if (grid.cellAt(static_cast<int>(i))->look() == PhotoGridCell::Look::Loading)
                    return false;
            return true;
        };
        while (!settled() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        int goodIndex = -1;
        for (std::size_t i = 0; i < grid.photos().size(); ++i) {
            const bool good = grid.photos()[i].name == "good.jpg";
            EXPECT_EQ(grid.cellAt(static_cast<int>(i))->look(),
                      good ? PhotoGridCell::Look::Thumbnail : PhotoGridCell::Look::Broken)
                << grid.photos()[i].name;
            if (good) {
                goodIndex = static_cast<int>(i);
                continue;
            }
            // The picker says which photo and why, and stays open for another pick.
            tapCell(*picker, static_cast<int>(i));
            ui::AlertView* alert = shownAlert();
            ASSERT_TRUE(alert) << grid.photos()[i].name;
            const std::string& name = grid.photos()[i].name;
            EXPECT_EQ(alert->message().rfind("The photo \u201c" + name + "\u201d could not be opened.\n", 0), 0u)
                << alert->message();
            if (name == "pipe.png" || name == "album.jpg" || name == "device.jpg") {
                EXPECT_EQ(alert->message().substr(alert->message().find('\n') + 1),
                          "Not a regular file (\u2026/" + name + ")");
            }
            alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), false);
            alert->removeFromSuperview();
        }
        EXPECT_TRUE(delegate.picked.empty()) << "a placeholder picks nothing";
        tapCell(*picker, goodIndex);
        EXPECT_EQ(delegate.picked.size(), 1u);
        picker->view()->removeFromSuperview();
    }
}

TEST_F(ImagePickerTest, EmptyFolderListsTheSamplesUnderAHintNamingTheFolder)
{
    std::ofstream(folder / "notes.txt") << "not a photo";
    auto picker = showPicker();
    EXPECT_TRUE(picker->isShowingSamples());
    const ui::Label* hint = picker->photoGrid()->hintLabel();
    EXPECT_FALSE(hint->isHidden());
    EXPECT_NE(hint->text().find(folder.string()), std::string::npos) << hint->text();
    const auto names = listedNames(*picker);
    EXPECT_EQ(names.size(), 3u);
    EXPECT_NE(std::find(names.begin(), names.end(), "coffee.png"), names.end());
    EXPECT_GE(picker->photoGrid()->cellRect(0).origin.y, hint->frame().origin.y + hint->frame().size.height);
    EXPECT_TRUE(picker->pickPhotoNamed("coffee.png"));
    ASSERT_EQ(delegate.picked.size(), 1u);
}

// Only the rows on screen have cells; scrolling gives each new row its own photos.
TEST_F(ImagePickerTest, PickingByNameScrollsToPhotosFarDown)
{
    for (int i = 0; i < 40; ++i)
        writePhoto("photo-" + std::to_string(100 + i) + ".jpg", 0xFF000000u | static_cast<std::uint32_t>(i * 6), 8 + i,
                   8, i);
    auto picker = showPicker();
    ui::PhotoGridView& grid = *picker->photoGrid();
    EXPECT_EQ(grid.cellAt(39), nullptr);
    ASSERT_TRUE(picker->pickPhotoNamed("photo-139.jpg"));
    ASSERT_NE(grid.cellAt(39), nullptr);
    EXPECT_EQ(grid.cellAt(39)->accessibilityLabel(), "photo-139.jpg");
    EXPECT_EQ(grid.cellAt(39)->look(), PhotoGridCell::Look::Thumbnail);
    EXPECT_EQ(grid.cellAt(0), nullptr);
    ASSERT_EQ(delegate.picked.size(), 1u);
    EXPECT_EQ(delegate.picked[0]->width, 8 + 39);
}

class FakeCamera : public ui::CameraFrameSource {
public:
    explicit FakeCamera(int& framesLeft) : m_framesLeft(framesLeft) {}
    std::optional<imageio::DecodedImage> takeFrame() override
    {
        if (m_framesLeft == 0)
            return std::nullopt;
        --m_framesLeft;
        imageio::DecodedImage frame;
        frame.width = 64;
        frame.height = 48;
        frame.bytesPerRow = 256;
        frame.bytes = std::make_shared<std::vector<std::uint8_t>>(256 * 48, 200);
        return frame;
    }

private:
    int& m_framesLeft;
};

TEST_F(ImagePickerTest, CameraShutterDeliversTheFrameOnScreen)
{
    // Only character devices are capture devices: files and pipes named like them are not opened.
    std::ofstream(folder / "video0") << "not a device";
    ASSERT_EQ(::mkfifo((folder / "video1").c_str(), 0644), 0);
    EXPECT_TRUE(ui::findCaptureDevices(folder.string()).empty());

    int framesLeft = 0;
    auto picker = std::make_shared<ImagePickerController>();
    picker->setDelegate(&delegate);
    picker->setCameraFrameSource(std::make_unique<FakeCamera>(framesLeft));
    picker->setSourceType(ui::ImagePickerSourceType::Camera);
    window->addSubview(picker->viewRef());
    window->layoutIfNeeded();
    ui::View* shutter = findLabelled(*window, "Take Picture");
    ASSERT_NE(shutter, nullptr);
    auto pressShutter = [&] {
        tapAt(shutter->convertPointToView({shutter->bounds().size.width / 2, shutter->bounds().size.height / 2},
                                          nullptr));
    };
    pressShutter();
    EXPECT_TRUE(delegate.picked.empty()) << "no frame yet";
    framesLeft = 3;
    runUntil(fnd::clock().now() + 1);
    EXPECT_EQ(framesLeft, 0);
    pressShutter();
    ASSERT_EQ(delegate.picked.size(), 1u);
    EXPECT_EQ(delegate.picked[0]->width, 64);
    EXPECT_EQ(delegate.picked[0]->height, 48);
    pressShutter();
    EXPECT_EQ(delegate.picked.size(), 1u);
}

} // namespace
