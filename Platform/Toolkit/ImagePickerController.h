#pragma once
// The image picker: a navigation controller that lets the user choose a photo from the photo
// library or take one with the camera, then hands the decoded photo to its delegate. The delegate
// dismisses the picker, whether a photo was picked or the user pressed Cancel. Only the first
// pick or cancel reaches the delegate, and the picker's views do nothing once it is released
// (they may still slide out after that).
//
// Photo library: the pictures folder (fnd::picturesPath()) as a grid of thumbnails, newest first,
// under a bar titled "Photos" with Cancel. While the folder holds no photos, the bundled sample
// photos are listed under a hint naming the folder. Files that cannot be shown (unreadable,
// corrupt, too large, folders, pipes, devices) get a placeholder square and are not picked. A
// photo file dropped on the window while the picker shows is picked as if tapped; any other file
// is offered to the delegate, which may keep it for later.
//
// Camera: a live preview from a CameraFrameSource with a shutter button that delivers the frame
// on screen.
#include <memory>
#include <string>

#include "ImageIO/DecodedImage.h"
#include "Toolkit/CameraSource.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/ThumbnailLoader.h"

namespace ui {

class ImagePickerController;
class ImagePickerScreen;
class PhotoGridView;

// With the platform's values.
enum class ImagePickerSourceType { PhotoLibrary = 0, Camera = 1 };

class ImagePickerControllerDelegate {
public:
    using Photo = std::shared_ptr<const imageio::DecodedImage>;
    virtual ~ImagePickerControllerDelegate() = default;
    virtual void imagePickerControllerDidFinishPickingImage(ImagePickerController* picker, Photo image) = 0;
    virtual void imagePickerControllerDidCancel(ImagePickerController* picker) = 0;
    // A file dropped on the picker that it cannot pick; true when the delegate took it.
    virtual bool imagePickerControllerDidReceiveOtherFile(ImagePickerController* picker, const std::string& path)
    {
        (void)picker;
        (void)path;
        return false;
    }
};

class ImagePickerController : public NavigationController {
public:
    static constexpr const char* kPickFailedTitle = "Error";

    ImagePickerController();
    ~ImagePickerController() override;

    // The photo library always is (it falls back to the samples); the camera when a V4L2 capture
    // device opens.
    static bool isSourceTypeAvailable(ImagePickerSourceType type);

    ImagePickerSourceType sourceType() const { return m_sourceType; }
    // Rebuilds the screen when the view is already loaded.
    void setSourceType(ImagePickerSourceType type);
    ImagePickerControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(ImagePickerControllerDelegate* delegate) { m_delegate = delegate; }

    // Set before the view loads. Synchronous thumbnails make tests deterministic.
    void setThumbnailMode(ThumbnailLoader::Mode mode);
    // Replaces the camera (tests); used by the next camera screen.
    void setCameraFrameSource(std::unique_ptr<CameraFrameSource> source);

    // True while the library shows the bundled samples (the pictures folder has no photos).
    bool isShowingSamples() const;
    // The library's grid (made with the view), or nullptr on the camera screen.
    PhotoGridView* photoGrid();
    // Decodes the photo and hands it to the delegate; false when a photo was already delivered or
    // the picker cancelled, or when the photo cannot be decoded: an alert (kPickFailedTitle) then
    // names it and says why, and the picker stays open for another pick.
    bool pickPhotoAtPath(const std::string& path);
    // After a delivered photo that the delegate could not use (it said why): the picker stays open
    // and takes another pick.
    void allowAnotherPick();
    // A file dropped on the picker: picked when it is a photo, else offered to the delegate.
    bool dropFile(const std::string& path);
    // Scrolls the library to the photo with that file name and picks it (scripted sessions).
    bool pickPhotoNamed(const std::string& name);
    // What the Cancel button does.
    void cancel();
    // What the shutter button does: delivers the frame on screen; false when there is none yet.
    bool takePicture();

    void loadView() override;

private:
    explicit ImagePickerController(std::shared_ptr<ImagePickerController*> alive);
    void deliver(std::shared_ptr<const imageio::DecodedImage> photo);
    bool pick(const std::string& path, bool sayWhyNot);

    std::shared_ptr<ImagePickerController*> m_alive; // the screen's views reach the picker through it
    ImagePickerScreen* m_screen = nullptr;           // the root screen, owned as the navigation root
    ImagePickerSourceType m_sourceType = ImagePickerSourceType::PhotoLibrary;
    ImagePickerControllerDelegate* m_delegate = nullptr;
    bool m_finished = false; // a photo was delivered or the user cancelled
};

} // namespace ui
