// The gallery's documents: making a new painting from each source and opening a saved one.
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "GalleryTableViewCell.h"
#include "GalleryViewController.h"
#include "PaintViewController.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/PhotoLibrary.h"

namespace {
// Sheet button indices beyond "From Photo Library" (index 0), which is always first.
constexpr int kSecondButton = 1;
constexpr int kThirdButton = 2;
} // namespace

void GalleryViewController::showError(const std::string& message)
{
    std::make_shared<ui::AlertView>(kErrorTitle, message, nullptr, "Cancel", std::vector<std::string>{})->show();
}

void GalleryViewController::addAction()
{
    std::vector<std::string> sources{"From Photo Library"};
    if (m_cameraSupported)
        sources.push_back("From Camera");
    sources.push_back("Blank Canvas");
    auto sheet = std::make_shared<ui::ActionSheet>(kGreeting, this, "Cancel", "", sources);
    sheet->showInView(*view());
}

void GalleryViewController::actionSheetClickedButtonAtIndex(ui::ActionSheet&, int buttonIndex)
{
    if (buttonIndex == 0)
        photosSelected();
    else if (buttonIndex == kSecondButton)
        m_cameraSupported ? cameraSelected() : blankSelected();
    else if (buttonIndex == kThirdButton && m_cameraSupported)
        blankSelected();
}

void GalleryViewController::photosSelected()
{
    if (ui::ImagePickerController::isSourceTypeAvailable(ui::ImagePickerSourceType::PhotoLibrary))
        presentImagePickerWithSourceType(ui::ImagePickerSourceType::PhotoLibrary);
}

void GalleryViewController::cameraSelected() { presentImagePickerWithSourceType(ui::ImagePickerSourceType::Camera); }

DataModel* GalleryViewController::makeBlankDocument() { return DataModel::sharedDataModelWithBlankCanvas(); }

void GalleryViewController::blankSelected()
{
    // A painting screen without a canvas has nothing to paint on: say so and stay here.
    if (!makeBlankDocument()) {
        showError(kBlankFailedMessage);
        return;
    }
    pushPaintViewController(kBlankFailedMessage);
}

void GalleryViewController::presentImagePickerWithSourceType(ui::ImagePickerSourceType type)
{
    auto picker = std::make_shared<ui::ImagePickerController>();
    picker->setDelegate(this);
    picker->setSourceType(ui::ImagePickerSourceType::PhotoLibrary);
    picker->setSourceType(type);
    ui::ViewController* presenter =
        navigationController() ? static_cast<ui::ViewController*>(navigationController()) : this;
    presenter->presentModalViewController(std::move(picker), true);
}

void GalleryViewController::showPhotoError(const fnd::Error& error)
{
    // Running out of memory says nothing about the photo's format.
    const char* message = error.reason == fnd::kNotEnoughMemory ? kPhotoNotOpenedMessage : kUnsupportedPhotoMessage;
    showError(error.reason.empty() ? message : message + ("\n" + error.reason));
}

bool GalleryViewController::makeDocumentFromPhoto(Photo image)
{
    auto made = DataModel::sharedDataModelWithUIImage(std::move(image));
    if (!made)
        showPhotoError(made.failure());
    return made.ok();
}

void GalleryViewController::imagePickerControllerDidFinishPickingImage(ui::ImagePickerController* picker, Photo image)
{
    if (!makeDocumentFromPhoto(std::move(image))) {
        // The picker stays open under the alert, so that another photo can be picked.
        if (picker)
            picker->allowAnotherPick();
        return;
    }
    // The painting screen goes in place under the picker, which then slides down to show it:
    // one bar at a time, never the picker's sliding over a pushed screen's.
    pushPaintViewController(kPhotoNotOpenedMessage, false);
    if (picker)
        picker->dismissModalViewControllerAnimated(true);
}

void GalleryViewController::openPhotoAtPath(const std::string& path)
{
    auto photo = ui::decodePickedPhoto(path);
    if (!photo) {
        fnd::log("The photo cannot be opened: " + photo.error());
        showPhotoError(photo.failure());
        return;
    }
    if (makeDocumentFromPhoto(std::make_shared<const imageio::DecodedImage>(std::move(photo).value())))
        pushPaintViewController(kPhotoNotOpenedMessage);
}

void GalleryViewController::openFileAtPath(const std::string& path)
{
    if (std::filesystem::path(path).extension() == ".art")
        openArchive(path, titleForArchive(fnd::documentsPath(), path));
    else
        openPhotoAtPath(path);
}

std::string GalleryViewController::titleForArchive(const std::string& documentsDirectory,
                                                   const std::string& archivePath)
{
    namespace fs = std::filesystem;
    std::string title = GalleryTableViewCell::titleOf(fs::path(archivePath).filename().string());
    if (title.empty())
        title = "Painting";
    std::error_code error;
    if (fs::equivalent(fs::path(archivePath).parent_path(), documentsDirectory, error))
        return title;
    const auto taken = [&](const std::string& candidate) {
        return fs::exists(documentsDirectory + "/" + candidate + ".art", error)
               || fs::exists(documentsDirectory + "/" + candidate + ".jpg", error);
    };
    std::string unique = title;
    for (int n = 2; taken(unique); ++n)
        unique = title + " " + std::to_string(n);
    return unique;
}

void GalleryViewController::imagePickerControllerDidCancel(ui::ImagePickerController* picker)
{
    if (picker)
        picker->dismissModalViewControllerAnimated(true);
}

void GalleryViewController::pushPaintViewController(const char* failedMessage, bool animated)
{
    m_saveFailed = false; // a new shared document
    // The painting screen is built whole before it slides in: when memory runs out meanwhile, the
    // new painting goes, the person hears why, and the gallery stays as it was.
    try {
        auto screen = std::make_shared<PaintViewController>();
        screen->setPaintingKeeper(m_paintingKeeper);
        screen->view();
        m_paintViewController = std::move(screen);
        if (ui::NavigationController* navigation = navigationController())
            navigation->pushViewController(m_paintViewController, animated);
    } catch (const std::bad_alloc&) {
        if (ui::NavigationController* navigation = navigationController();
            navigation && navigation->topViewController() != this)
            navigation->popViewControllerAnimated(false);
        m_paintViewController.reset();
        DataModel::releaseSharedDataModel();
        showError(std::string(failedMessage) + "\n" + fnd::kNotEnoughMemory);
    }
}

void GalleryViewController::openPainting(const std::string& thumbnailName)
{
    const std::string title = GalleryTableViewCell::titleOf(thumbnailName);
    openArchive(fnd::documentsPath() + "/" + title + ".art", title);
}

void GalleryViewController::openArchive(const std::string& archivePath, const std::string& title)
{
    fnd::log("opening the painting " + archivePath);
    // Known before reading: a file replaced meanwhile then counts as another, never as this one.
    const auto identity = fnd::fileIdentity(archivePath);
    DataModel* document = DataModel::sharedDataModelWithArchivePath(archivePath);
    if (!document) {
        showError(kOpenFailedMessage);
        return;
    }
    // The archive does not carry the title; with it the save on return replaces the same files,
    // as long as they are still the ones read here.
    document->setFileTitle(title);
    std::error_code error;
    if (std::filesystem::equivalent(archivePath, document->getFullPath(), error))
        document->setSavedFile(identity);
    pushPaintViewController();
}
