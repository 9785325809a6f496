#pragma once
// The application object: builds the screens when the host has made the window, and is told
// before the process ends. Until the gallery exists the application opens on the painting screen,
// over a blank canvas or over a photo given on the command line, inside the navigation controller
// whose bar the screens share.
#include <memory>
#include <optional>
#include <string>

namespace ui {
class NavigationController;
class Window;
} // namespace ui
class PaintView;
class PaintViewController;

class KanvaroAppDelegate {
public:
    static constexpr const char* kUnsupportedPhotoMessage
        = "The photo you selected is in an unsupported format. Please select another photo.";

    // A photo to paint over instead of a blank canvas; set before launching.
    void setPhotoPath(std::optional<std::string> path) { m_photoPath = std::move(path); }

    void applicationDidFinishLaunching(ui::Window& window);
    // Saves the shared document (archive and thumbnail) when anything was painted.
    void applicationWillTerminate();

    ui::NavigationController* navigationController() const { return m_navigationController.get(); }
    PaintViewController* paintViewController() const { return m_paintViewController.get(); }
    PaintView* paintView() const;
    bool hasTerminated() const { return m_terminated; }

private:
    void makeDocument();

    std::optional<std::string> m_photoPath;
    std::shared_ptr<ui::NavigationController> m_navigationController;
    std::shared_ptr<PaintViewController> m_paintViewController;
    bool m_terminated = false;
};
