#pragma once
// The application delegate named by the main interface file: when launching has finished it puts
// the gallery, as the root screen, into a navigation controller with a black translucent bar
// under a black translucent status bar, and shows it in the window. The gallery then offers a
// painting a crash left behind, and opens the file named on the command line, if any, as it opens
// a dropped file (after the offer, when there is one). Before the process ends it
// saves a painting that is open and changed, as going back to the gallery would.
#include <memory>
#include <string>

#include "Toolkit/Application.h"

namespace ui {
class NavigationController;
class Window;
} // namespace ui
class GalleryViewController;
class PaintView;

class KanvaroAppDelegate : public ui::ApplicationDelegate {
public:
    void applicationDidFinishLaunching(ui::Window& window) override;
    void applicationWillTerminate() override;
    // A photo or a saved painting (".art") to open over the gallery once launching has finished.
    void setOpenPath(const std::string& path) override { m_openPath = path; }

    ui::NavigationController* navigationController() const { return m_navigationController.get(); }
    GalleryViewController* galleryViewController() const { return m_galleryViewController.get(); }
    // The paint view of the open painting screen, or nullptr in the gallery.
    PaintView* paintView() const;
    bool hasTerminated() const { return m_terminated; }

private:
    std::shared_ptr<GalleryViewController> m_galleryViewController;
    std::shared_ptr<ui::NavigationController> m_navigationController;
    std::string m_openPath;
    bool m_terminated = false;
};
