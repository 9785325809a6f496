#pragma once
// The image picker: a full screen that lets the user choose a photo from the photo library or
// take one with the camera, then hands the decoded photo to its delegate. The delegate dismisses
// the picker, whether a photo was picked or the user pressed Cancel.
//
// Photo library: the pictures folder (fnd::picturesPath()) as a grid of thumbnails, newest first,
// with Cancel in the bar. While the folder holds no photos, the bundled sample photos are listed
// under a hint naming the folder. Files that cannot be shown (unreadable, corrupt, too large,
// folders, pipes, devices) get a placeholder square and are not picked. A photo file dropped on
// the window while the picker shows is picked as if tapped.
//
// Camera: a live preview from a CameraFrameSource with a shutter button that delivers the frame
// on screen.
//
// Until the navigation controller can host it, the picker draws its own bar (title and Cancel)
// with a toolbar in the navigation bar's place.
#include <memory>
#include <string>

#include "Foundation/Timer.h"
#include "ImageIO/DecodedImage.h"
#include "Toolkit/CameraSource.h"
#include "Toolkit/PhotoLibrary.h"
#include "Toolkit/ThumbnailLoader.h"
#include "Toolkit/ViewController.h"

namespace ui {

class ImagePickerController;
class ImageView;
class PhotoGridView;
class Toolbar;

// With the platform's values.
enum class ImagePickerSourceType { PhotoLibrary = 0, Camera = 1 };

class ImagePickerControllerDelegate {
public:
    using Photo = std::shared_ptr<const imageio::DecodedImage>;
    virtual ~ImagePickerControllerDelegate() = default;
    virtual void imagePickerControllerDidFinishPickingImage(ImagePickerController* picker, Photo image) = 0;
    virtual void imagePickerControllerDidCancel(ImagePickerController* picker) = 0;
};

class ImagePickerController : public ViewController {
public:
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
    void setThumbnailMode(ThumbnailLoader::Mode mode) { m_thumbnailMode = mode; }
    // Replaces the camera (tests); used by the next camera screen.
    void setCameraFrameSource(std::unique_ptr<CameraFrameSource> source) { m_cameraSource = std::move(source); }

    // True while the library shows the bundled samples (the pictures folder has no photos).
    bool isShowingSamples() const { return m_showingSamples; }
    PhotoGridView* photoGrid() const { return m_grid.get(); }
    // Decodes the photo and hands it to the delegate; false (and a log line) when it cannot be
    // decoded, or when a photo was already delivered or the picker cancelled.
    bool pickPhotoAtPath(const std::string& path);
    // Scrolls the library to the photo with that file name and picks it (scripted sessions).
    bool pickPhotoNamed(const std::string& name);
    // What the Cancel button does.
    void cancel();
    // What the shutter button does: delivers the frame on screen; false when there is none yet.
    bool takePicture();

    void loadView() override;

private:
    void buildLibraryScreen(View& root);
    void buildCameraScreen(View& root);
    std::shared_ptr<Toolbar> makeBar(double y, bool cameraControls);
    void showNextCameraFrame();
    void deliver(imageio::DecodedImage photo);
    void stopCamera();

    ImagePickerSourceType m_sourceType = ImagePickerSourceType::PhotoLibrary;
    ImagePickerControllerDelegate* m_delegate = nullptr;
    ThumbnailLoader::Mode m_thumbnailMode = ThumbnailLoader::Mode::Background;
    std::shared_ptr<PhotoGridView> m_grid;
    bool m_showingSamples = false;
    bool m_finished = false; // a photo was delivered or the user cancelled
    std::unique_ptr<CameraFrameSource> m_cameraSource;
    std::shared_ptr<ImageView> m_preview;
    std::shared_ptr<const imageio::DecodedImage> m_lastFrame;
    fnd::TimerRef m_cameraTimer;
};

} // namespace ui
