#include "Toolkit/ImagePickerScreen.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "Foundation/Bundle.h"
#include "Foundation/Paths.h"
#include "Graphics/UprightPixels.h"
#include "Toolkit/FileDrop.h"
#include "Toolkit/ImagePickerController.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/NavigationItem.h"
#include "Toolkit/PhotoGridView.h"
#include "Toolkit/ShutterButton.h"
#include "Toolkit/Toolbar.h"

namespace ui {
namespace {

constexpr double kCameraFrameInterval = 1.0 / 15;

// The screen's root view, and the window's drop target while the picker shows.
class PickerRootView : public View, public FileDropTarget {
public:
    using DropHandler = std::function<bool(const std::string& path)>;
    PickerRootView(const gfx::Rect& frame, DropHandler onDrop) : View(frame), m_onDrop(std::move(onDrop))
    {
        setBackgroundColor(gfx::Color::black());
    }
    bool dropFile(const std::string& path) override { return m_onDrop(path); }
    std::function<void()> onLayout;
    void layoutSubviews() override
    {
        if (onLayout)
            onLayout();
    }

private:
    DropHandler m_onDrop;
};

} // namespace

ImagePickerScreen::ImagePickerScreen(PickerRef picker) : m_picker(std::move(picker))
{
    setTitle("Photos");
    navigationItem().setRightBarButtonItem(BarButtonItem::withSystemItem(
        BarButtonSystemItem::Cancel, forPicker([](ImagePickerController& p, BarButtonItem&) { p.cancel(); })));
}

ImagePickerScreen::~ImagePickerScreen()
{
    stopCamera();
    if (isViewLoaded())
        static_cast<PickerRootView*>(view())->onLayout = nullptr; // the view may outlive the screen
}

void ImagePickerScreen::setCamera(bool camera)
{
    if (camera == m_camera)
        return;
    m_camera = camera;
    setTitle(camera ? "Camera" : "Photos");
    if (isViewLoaded())
        build();
}

void ImagePickerScreen::loadView()
{
    // A picker that is gone takes no more files.
    auto root =
        std::make_shared<PickerRootView>(gfx::Rect{0, 0, 320, 416}, [picker = m_picker](const std::string& path) {
            auto alive = picker.lock();
            return alive && (*alive)->dropFile(path);
        });
    root->onLayout = [this] { layoutContent(); };
    setView(std::move(root));
    build();
}

void ImagePickerScreen::build()
{
    View& root = *view();
    stopCamera();
    m_grid = nullptr;
    m_preview = nullptr;
    m_shutterBar = nullptr;
    m_lastFrame = nullptr;
    for (const auto& subview : std::vector(root.subviews()))
        subview->removeFromSuperview();
    if (m_camera)
        buildCamera(root);
    else
        buildLibrary(root);
}

void ImagePickerScreen::buildLibrary(View& root)
{
    const int thumbnailPixels = static_cast<int>(std::lround(PhotoGridView::kCellSide * screenScale()));
    auto loader = std::make_unique<ThumbnailLoader>(thumbnailPixels, m_thumbnailMode);
    m_grid = std::make_shared<PhotoGridView>(root.bounds(), std::move(loader));
    std::vector<PhotoEntry> photos = listPhotoFolder(fnd::picturesPath());
    m_showingSamples = photos.empty();
    std::string hint;
    if (m_showingSamples) {
        photos = listPhotoFolder(fnd::resourcePath() + "/SamplePhotos");
        hint = "Your own photos go in " + fnd::folderForPeople(fnd::picturesPath()) + ".\rUntil then, pick a sample.";
    }
    m_grid->setPhotos(std::move(photos), hint);
    m_grid->setPickHandler(
        forPicker([](ImagePickerController& p, const PhotoEntry& photo) { p.pickPhotoAtPath(photo.path); }));
    root.addSubview(m_grid);
}

void ImagePickerScreen::buildCamera(View& root)
{
    const gfx::Rect area = root.bounds();
    const double barTop = area.size.height - Toolbar::kHeight;
    m_preview = std::make_shared<ImageView>(gfx::Rect{0, 0, area.size.width, barTop});
    m_preview->setContentMode(ContentMode::ScaleAspectFill);
    m_preview->setClipsToBounds(true);
    m_preview->setBackgroundColor(gfx::Color::black());
    root.addSubview(m_preview);
    m_shutterBar = std::make_shared<Toolbar>(gfx::Rect{0, barTop, area.size.width, Toolbar::kHeight});
    Toolbar* bar = m_shutterBar.get();
    bar->setBarStyle(BarStyle::BlackTranslucent);
    auto shutter = std::make_shared<ShutterButton>();
    shutter->addTarget(ControlEvent::TouchUpInside,
                       forPicker([](ImagePickerController& p, Control&) { p.takePicture(); }));
    auto flexible = [] { return BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace, nullptr); };
    bar->setItems({flexible(), BarButtonItem::withCustomView(shutter), flexible()});
    root.addSubview(m_shutterBar);
    if (!m_cameraSource)
        m_cameraSource = openDefaultCamera();
    if (!m_cameraSource)
        return;
    m_cameraTimer =
        fnd::Timer::scheduledTimer(kCameraFrameInterval, true, [this](fnd::Timer&) { showNextCameraFrame(); });
    showNextCameraFrame();
}

// Follows the size the navigation controller gives the screen.
void ImagePickerScreen::layoutContent()
{
    const gfx::Rect area = view()->bounds();
    if (m_grid && m_grid->frame().size.height != area.size.height) {
        m_grid->setFrame(area);
        m_grid->refresh();
    }
    const double barTop = std::max(0.0, area.size.height - Toolbar::kHeight);
    if (m_preview)
        m_preview->setFrame({0, 0, area.size.width, barTop});
    if (m_shutterBar)
        m_shutterBar->setFrame({0, barTop, area.size.width, Toolbar::kHeight});
}

void ImagePickerScreen::showNextCameraFrame()
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

void ImagePickerScreen::stopCamera()
{
    if (m_cameraTimer)
        m_cameraTimer->invalidate();
    m_cameraTimer = nullptr;
}

void ImagePickerScreen::resumeCamera()
{
    if (m_camera && isViewLoaded() && !m_cameraTimer)
        build();
}

bool ImagePickerScreen::keyDown(const KeyEvent& event)
{
    if (event.key != Key::Escape || !event.isPlain() || event.repeat)
        return ViewController::keyDown(event);
    forPicker([](ImagePickerController& p) { p.cancel(); })();
    return true;
}

std::vector<KeyShortcut> ImagePickerScreen::keyboardShortcuts() const
{
    return {{"Esc", "Cancel"}, {"F1  ?", "This list"}};
}

} // namespace ui
