#include "Toolkit/ImagePickerController.h"

#include <cmath>
#include <utility>

#include "Foundation/Bundle.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "Graphics/UprightPixels.h"
#include "Toolkit/FileDrop.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/Label.h"
#include "Toolkit/PhotoGridView.h"
#include "Toolkit/ShutterButton.h"
#include "Toolkit/Toolbar.h"

namespace ui {
namespace {

constexpr double kStatusBarHeight = 20;
constexpr double kCameraFrameInterval = 1.0 / 15;

// The picker's root view: black behind the status bar, and the window's drop target.
class PickerRootView : public View, public FileDropTarget {
public:
    PickerRootView(const gfx::Rect& frame, ImagePickerController& picker) : View(frame), m_picker(picker)
    {
        setBackgroundColor(gfx::Color::black());
    }
    bool dropFile(const std::string& path) override { return m_picker.pickPhotoAtPath(path); }

private:
    ImagePickerController& m_picker;
};

// "~/Pictures" for a folder inside the home folder, the folder itself otherwise.
std::string folderForPeople(const std::string& folder)
{
    const std::string home = fnd::homePath();
    if (!home.empty() && home != "/" && folder.rfind(home + "/", 0) == 0)
        return "~" + folder.substr(home.size());
    return folder;
}

} // namespace

ImagePickerController::ImagePickerController() = default;

ImagePickerController::~ImagePickerController()
{
    stopCamera();
}

bool ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType type)
{
    switch (type) {
    case ImagePickerSourceType::PhotoLibrary: return true;
    case ImagePickerSourceType::Camera: return !findCaptureDevices().empty();
    }
    return false;
}

void ImagePickerController::setSourceType(ImagePickerSourceType type)
{
    if (type == m_sourceType)
        return;
    m_sourceType = type;
    if (!isViewLoaded())
        return;
    View* root = view();
    stopCamera();
    m_grid = nullptr;
    m_preview = nullptr;
    for (const auto& subview : std::vector(root->subviews()))
        subview->removeFromSuperview();
    if (type == ImagePickerSourceType::Camera)
        buildCameraScreen(*root);
    else
        buildLibraryScreen(*root);
}

void ImagePickerController::loadView()
{
    auto root = std::make_shared<PickerRootView>(gfx::Rect{0, 0, 320, 480}, *this);
    if (m_sourceType == ImagePickerSourceType::Camera)
        buildCameraScreen(*root);
    else
        buildLibraryScreen(*root);
    setView(std::move(root));
}

std::shared_ptr<Toolbar> ImagePickerController::makeBar(double y, bool cameraControls)
{
    auto bar = std::make_shared<Toolbar>(gfx::Rect{0, y, 320, Toolbar::kHeight});
    bar->setBarStyle(BarStyle::BlackTranslucent);
    auto cancelItem = BarButtonItem::withSystemItem(BarButtonSystemItem::Cancel, [this](BarButtonItem&) { cancel(); });
    auto flexible = [] { return BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace, nullptr); };
    auto balance = BarButtonItem::withSystemItem(BarButtonSystemItem::FixedSpace, nullptr);
    balance->setWidth(cancelItem->naturalWidth(BarStyle::BlackTranslucent));
    if (cameraControls) {
        auto shutter = std::make_shared<ShutterButton>();
        shutter->addTarget(ControlEvent::TouchUpInside, [this](Control&) { takePicture(); });
        bar->setItems({cancelItem, flexible(), BarButtonItem::withCustomView(shutter), flexible(), balance});
        return bar;
    }
    auto title = std::make_shared<Label>(gfx::Rect{0, 0, 180, Toolbar::kHeight});
    title->setText("Photos");
    title->setFont(Font::boldSystemFont(20));
    title->setTextColor(gfx::Color::white());
    title->setShadowColor(gfx::Color{0, 0, 0, 0.6});
    title->setTextAlignment(TextAlignment::Center);
    bar->setItems({balance, flexible(), BarButtonItem::withCustomView(title), flexible(), cancelItem});
    return bar;
}

void ImagePickerController::buildLibraryScreen(View& root)
{
    const double top = kStatusBarHeight + Toolbar::kHeight;
    const int thumbnailPixels = static_cast<int>(std::lround(PhotoGridView::kCellSide * screenScale()));
    auto loader = std::make_unique<ThumbnailLoader>(thumbnailPixels, m_thumbnailMode);
    m_grid = std::make_shared<PhotoGridView>(gfx::Rect{0, top, 320, 480 - top}, std::move(loader));
    std::vector<PhotoEntry> photos = listPhotoFolder(fnd::picturesPath());
    m_showingSamples = photos.empty();
    std::string hint;
    if (m_showingSamples) {
        photos = listPhotoFolder(fnd::resourcePath() + "/SamplePhotos");
        hint = "Your own photos go in " + folderForPeople(fnd::picturesPath()) + ".\rUntil then, pick a sample.";
    }
    m_grid->setPhotos(std::move(photos), hint);
    m_grid->setPickHandler([this](const PhotoEntry& photo) { pickPhotoAtPath(photo.path); });
    root.addSubview(m_grid);
    root.addSubview(makeBar(kStatusBarHeight, false));
}

void ImagePickerController::buildCameraScreen(View& root)
{
    const double barTop = 480 - Toolbar::kHeight;
    m_preview = std::make_shared<ImageView>(gfx::Rect{0, kStatusBarHeight, 320, barTop - kStatusBarHeight});
    m_preview->setContentMode(ContentMode::ScaleAspectFit);
    m_preview->setBackgroundColor(gfx::Color::black());
    root.addSubview(m_preview);
    root.addSubview(makeBar(barTop, true));
    if (!m_cameraSource)
        m_cameraSource = openDefaultCamera();
    if (!m_cameraSource)
        return;
    m_cameraTimer = fnd::Timer::scheduledTimer(kCameraFrameInterval, true, [this](fnd::Timer&) { showNextCameraFrame(); });
    showNextCameraFrame();
}

void ImagePickerController::showNextCameraFrame()
{
    if (!m_cameraSource || !m_preview)
        return;
    auto frame = m_cameraSource->takeFrame();
    if (!frame)
        return;
    auto shared = std::make_shared<const imageio::DecodedImage>(std::move(*frame));
    if (auto upright = gfx::uprightImage(*shared)) {
        m_lastFrame = std::move(shared);
        m_preview->setImage(ImageAsset::withImage(std::move(upright)));
    }
}

void ImagePickerController::stopCamera()
{
    if (m_cameraTimer)
        m_cameraTimer->invalidate();
    m_cameraTimer = nullptr;
}

bool ImagePickerController::takePicture()
{
    if (m_finished || !m_lastFrame)
        return false;
    m_finished = true;
    stopCamera();
    if (m_delegate)
        m_delegate->imagePickerControllerDidFinishPickingImage(this, m_lastFrame);
    return true;
}

bool ImagePickerController::pickPhotoAtPath(const std::string& path)
{
    if (m_finished)
        return false;
    auto photo = decodePickedPhoto(path);
    if (!photo) {
        fnd::log("The photo cannot be picked: " + photo.error());
        return false;
    }
    deliver(std::move(photo).value());
    return true;
}

bool ImagePickerController::pickPhotoNamed(const std::string& name)
{
    if (!m_grid)
        return false;
    const auto& photos = m_grid->photos();
    for (std::size_t i = 0; i < photos.size(); ++i) {
        if (photos[i].name != name)
            continue;
        m_grid->scrollToPhoto(static_cast<int>(i));
        return pickPhotoAtPath(photos[i].path);
    }
    return false;
}

void ImagePickerController::deliver(imageio::DecodedImage photo)
{
    m_finished = true;
    stopCamera();
    // The delegate usually dismisses and releases the picker: nothing here runs after it.
    if (m_delegate)
        m_delegate->imagePickerControllerDidFinishPickingImage(
            this, std::make_shared<const imageio::DecodedImage>(std::move(photo)));
}

void ImagePickerController::cancel()
{
    if (m_finished)
        return;
    m_finished = true;
    stopCamera();
    if (m_delegate)
        m_delegate->imagePickerControllerDidCancel(this);
}

} // namespace ui
