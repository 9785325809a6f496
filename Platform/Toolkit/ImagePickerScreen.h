#pragma once
// The image picker's one screen, the root of its navigation controller: the photo library grid
// or the camera preview with its shutter bar, with Cancel on the right of the navigation bar.
// It acts for the picker through a weak reference, so its views do nothing once the picker is
// gone.
#include <functional>
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

class ImagePickerScreen : public ViewController {
public:
    using PickerRef = std::weak_ptr<ImagePickerController*>;
    explicit ImagePickerScreen(PickerRef picker);
    ~ImagePickerScreen() override;

    bool isCamera() const { return m_camera; }
    // Rebuilds the content when the view is already loaded.
    void setCamera(bool camera);
    void setThumbnailMode(ThumbnailLoader::Mode mode) { m_thumbnailMode = mode; }
    void setCameraFrameSource(std::unique_ptr<CameraFrameSource> source) { m_cameraSource = std::move(source); }

    PhotoGridView* photoGrid() const { return m_grid.get(); }
    bool isShowingSamples() const { return m_showingSamples; }
    // The frame on the camera preview now, or nullptr before the first one.
    const std::shared_ptr<const imageio::DecodedImage>& lastFrame() const { return m_lastFrame; }
    void stopCamera();
    // Shows the live preview again after stopCamera (the camera screen only).
    void resumeCamera();

    void loadView() override;
    // Escape is the Cancel button.
    bool keyDown(const KeyEvent& event) override;
    std::vector<KeyShortcut> keyboardShortcuts() const override;

private:
    // Runs `action` on the picker while it lives.
    template <typename Action> auto forPicker(Action action)
    {
        return [picker = m_picker, action](auto&&... args) {
            if (auto alive = picker.lock())
                action(**alive, args...);
        };
    }
    void build();
    void buildLibrary(View& root);
    void buildCamera(View& root);
    void layoutContent();
    void showNextCameraFrame();

    PickerRef m_picker;
    bool m_camera = false;
    ThumbnailLoader::Mode m_thumbnailMode = ThumbnailLoader::Mode::Background;
    std::shared_ptr<PhotoGridView> m_grid;
    bool m_showingSamples = false;
    std::unique_ptr<CameraFrameSource> m_cameraSource;
    std::shared_ptr<ImageView> m_preview;
    std::shared_ptr<Toolbar> m_shutterBar;
    std::shared_ptr<const imageio::DecodedImage> m_lastFrame;
    fnd::TimerRef m_cameraTimer;
};

} // namespace ui
