#pragma once
// The application delegate named by the main interface file: when launching has finished it puts
// the gallery, as the root screen, into a navigation controller with a black translucent bar
// under a black translucent status bar, and shows it in the window. The gallery then offers a
// painting a crash left behind, and opens the file named on the command line, if any, as it opens
// a dropped file (after the offer, when there is one).
//
// It keeps the open painting safe (PaintingKeeper): a few seconds after the painting changes it
// has a recovery copy written (Recovery.h), and one at once when a save fails. Asked whether the
// application may quit, it saves a painting with unsaved changes first; when that save fails it
// writes a fresh recovery copy and asks the person ("Cancel" or "Quit Anyway"), or, with nobody to
// ask, says why on stderr and ends with exit status 1.
#include <functional>
#include <memory>
#include <string>

#include "Foundation/Result.h"
#include "Foundation/Timer.h"
#include "PaintingKeeper.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/Application.h"

namespace ui {
class NavigationController;
class Window;
} // namespace ui
namespace recovery {
class Keeper;
}
class GalleryViewController;
class PaintView;

class KanvaroAppDelegate : public ui::ApplicationDelegate, public PaintingKeeper, public ui::AlertViewDelegate {
public:
    static constexpr const char* kQuitFailedTitle = "Error";
    static constexpr const char* kQuitFailedMessage = "The painting could not be saved: ";
    static constexpr const char* kQuitKeptLine = "Quit anyway? It will be offered back at the next start.";
    static constexpr const char* kQuitLostLine = "Quit anyway? It will be lost.";
    static constexpr const char* kQuitAnywayButton = "Quit Anyway";

    KanvaroAppDelegate();
    ~KanvaroAppDelegate() override;

    void applicationDidFinishLaunching(ui::Window& window) override;
    bool applicationShouldTerminate(bool canAsk, std::function<void()> terminateLater) override;
    void applicationWillTerminate() override;
    int applicationExitStatus() const override { return m_exitStatus; }
    // A photo or a saved painting (".art") to open over the gallery once launching has finished.
    void setOpenPath(const std::string& path) override { m_openPath = path; }

    ui::NavigationController* navigationController() const { return m_navigationController.get(); }
    GalleryViewController* galleryViewController() const { return m_galleryViewController.get(); }
    // The paint view of the open painting screen, or nullptr in the gallery.
    PaintView* paintView() const;
    bool hasTerminated() const { return m_terminated; }

    // Recovery copies of the open painting (KanvaroAppDelegateRecovery.cpp).
    void paintingDidChange() override;
    fnd::Result<std::string> keepPaintingNow() override;
    void discardPaintingCopy() override;
    // The pending copy asked for by a change, or nullptr.
    const fnd::TimerRef& recoveryTimer() const { return m_recoveryTimer; }
    // Waits until no copy is waiting or being written.
    void waitForPaintingCopy();

    void alertViewClickedButtonAtIndex(ui::AlertView& alert, int buttonIndex) override;

private:
    void recoveryTimerEvent();
    recovery::Keeper& recoveryKeeper();
    // Saves what is unsaved; why not when the save failed.
    fnd::Status saveBeforeQuitting();
    void askBeforeQuitting(const std::string& reason, std::function<void()> terminateLater);
    void quitUnattended(const std::string& reason);

    std::shared_ptr<GalleryViewController> m_galleryViewController;
    std::shared_ptr<ui::NavigationController> m_navigationController;
    std::string m_openPath;
    std::unique_ptr<recovery::Keeper> m_recoveryKeeper; // made with the first copy
    fnd::TimerRef m_recoveryTimer;
    std::weak_ptr<ui::AlertView> m_quitAlert;
    std::function<void()> m_terminateLater; // while the quit alert asks
    bool m_quitSettled = false;             // the painting was saved, or the person let it go
    bool m_terminated = false;
    int m_exitStatus = 0;
};
