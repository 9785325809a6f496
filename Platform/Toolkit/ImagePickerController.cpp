#include "Toolkit/ImagePickerController.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "Foundation/Log.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/ImagePickerScreen.h"
#include "Toolkit/NavigationBar.h"
#include "Toolkit/PhotoGridView.h"

namespace ui {
namespace {

// The screen is made before the picker's constructor body runs: it gets the picker's liveness
// token, which the picker then points at itself.
std::shared_ptr<ImagePickerScreen> makeScreen(const std::shared_ptr<ImagePickerController*>& alive)
{
    return std::make_shared<ImagePickerScreen>(alive);
}

} // namespace

ImagePickerController::ImagePickerController()
    : ImagePickerController(std::make_shared<ImagePickerController*>(nullptr))
{
}

ImagePickerController::ImagePickerController(std::shared_ptr<ImagePickerController*> alive)
    : NavigationController(makeScreen(alive)), m_alive(std::move(alive))
{
    *m_alive = this;
    m_screen = static_cast<ImagePickerScreen*>(viewControllers().front().get());
}

void ImagePickerController::loadView()
{
    NavigationController::loadView();
    navigationBar().setBarStyle(BarStyle::BlackTranslucent);
}

ImagePickerController::~ImagePickerController() { m_screen->stopCamera(); }

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
    m_sourceType = type;
    m_screen->setCamera(type == ImagePickerSourceType::Camera);
}

void ImagePickerController::setThumbnailMode(ThumbnailLoader::Mode mode) { m_screen->setThumbnailMode(mode); }

void ImagePickerController::setCameraFrameSource(std::unique_ptr<CameraFrameSource> source)
{
    m_screen->setCameraFrameSource(std::move(source));
}

bool ImagePickerController::isShowingSamples() const { return m_screen->isShowingSamples(); }

PhotoGridView* ImagePickerController::photoGrid()
{
    view();
    m_screen->view();
    return m_screen->photoGrid();
}

bool ImagePickerController::takePicture()
{
    if (m_finished || !m_screen->lastFrame())
        return false;
    deliver(m_screen->lastFrame());
    return true;
}

bool ImagePickerController::pickPhotoAtPath(const std::string& path) { return pick(path, true); }

bool ImagePickerController::pick(const std::string& path, bool sayWhyNot)
{
    if (m_finished)
        return false;
    auto photo = decodePickedPhoto(path);
    if (!photo) {
        fnd::log("The photo cannot be picked: " + photo.error());
        if (!sayWhyNot)
            return false;
        // The picker stays: another photo can be picked.
        const std::string name = std::filesystem::path(path).filename().string();
        const std::string message = "The photo “" + name + "” could not be opened.\n" + photo.reason();
        std::make_shared<AlertView>(kPickFailedTitle, message, nullptr, "OK", std::vector<std::string>{})->show();
        return false;
    }
    deliver(std::make_shared<const imageio::DecodedImage>(std::move(photo).value()));
    return true;
}

bool ImagePickerController::dropFile(const std::string& path)
{
    // What is no photo goes to the delegate, which says why when it opens it.
    if (pick(path, false))
        return true;
    return !m_finished && m_delegate && m_delegate->imagePickerControllerDidReceiveOtherFile(this, path);
}

bool ImagePickerController::pickPhotoNamed(const std::string& name)
{
    PhotoGridView* grid = photoGrid();
    if (!grid)
        return false;
    const auto& photos = grid->photos();
    for (std::size_t i = 0; i < photos.size(); ++i) {
        if (photos[i].name != name)
            continue;
        grid->scrollToPhoto(static_cast<int>(i));
        return pickPhotoAtPath(photos[i].path);
    }
    return false;
}

void ImagePickerController::deliver(std::shared_ptr<const imageio::DecodedImage> photo)
{
    m_finished = true;
    m_screen->stopCamera();
    // The delegate usually dismisses and releases the picker: nothing here runs after it.
    if (m_delegate)
        m_delegate->imagePickerControllerDidFinishPickingImage(this, std::move(photo));
}

void ImagePickerController::allowAnotherPick()
{
    if (!m_finished)
        return;
    m_finished = false;
    m_screen->resumeCamera();
}

void ImagePickerController::cancel()
{
    if (m_finished)
        return;
    m_finished = true;
    m_screen->stopCamera();
    if (m_delegate)
        m_delegate->imagePickerControllerDidCancel(this);
}

} // namespace ui
