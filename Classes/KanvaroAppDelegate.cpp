#include "KanvaroAppDelegate.h"

#include <utility>

#include "Foundation/FileOps.h"
#include "Foundation/Paths.h"
#include "GalleryViewController.h"
#include "PaintViewController.h"
#include "Recovery.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/StatusBar.h"
#include "Toolkit/Window.h"

void KanvaroAppDelegate::applicationDidFinishLaunching(ui::Window& window)
{
    // A save killed between writing and renaming leaves its temporary file behind; both hosts
    // launch through here, so the window and scripted sessions clean up alike.
    fnd::removeStaleTemporaries(fnd::documentsPath());
    fnd::removeStaleTemporaries(fnd::exportsPath());
    setWindow(&window);
    window.setAccessibilityLabel("Kanvaro");
    m_galleryViewController = std::make_shared<GalleryViewController>();
    ui::StatusBar::of(window).setStyle(ui::StatusBarStyle::BlackTranslucent, false);
    m_navigationController = std::make_shared<ui::NavigationController>(m_galleryViewController);
    m_navigationController->navigationBar().setBarStyle(ui::BarStyle::BlackTranslucent);
    window.addSubview(m_navigationController->viewRef());
    window.makeKeyAndVisible();
    fnd::removeStaleTemporaries(recovery::folder());
    recovery::removeStrayPhotos();
    // A painting left by a crash is offered before a file named at launch opens: the file opens
    // once the offer is answered with Discard.
    m_galleryViewController->offerRecovery(std::exchange(m_openPath, {}));
}

PaintView* KanvaroAppDelegate::paintView() const
{
    PaintViewController* screen = m_galleryViewController ? m_galleryViewController->paintViewController() : nullptr;
    return screen && screen->isViewLoaded() ? screen->paintView() : nullptr;
}

void KanvaroAppDelegate::applicationWillTerminate()
{
    // Closing the window must not lose a painting: one open and changed is stored as going back
    // to the gallery would store it.
    m_terminated = true;
    if (m_galleryViewController)
        m_galleryViewController->saveBeforeTerminating();
}
