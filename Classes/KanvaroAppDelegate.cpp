#include "KanvaroAppDelegate.h"

#include <cstdio>
#include <utility>

#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "GalleryViewController.h"
#include "PaintViewController.h"
#include "Recovery.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/StatusBar.h"
#include "Toolkit/Window.h"

KanvaroAppDelegate::KanvaroAppDelegate() = default;

KanvaroAppDelegate::~KanvaroAppDelegate()
{
    if (m_recoveryTimer)
        m_recoveryTimer->invalidate();
    if (auto alert = m_quitAlert.lock())
        alert->setDelegate(nullptr);
}

void KanvaroAppDelegate::applicationDidFinishLaunching(ui::Window& window)
{
    // A save killed between writing and renaming leaves its temporary file behind; both hosts
    // launch through here, so the window and scripted sessions clean up alike.
    fnd::removeStaleTemporaries(fnd::documentsPath());
    fnd::removeStaleTemporaries(fnd::exportsPath());
    setWindow(&window);
    window.setAccessibilityLabel("Kanvaro");
    m_galleryViewController = std::make_shared<GalleryViewController>();
    m_galleryViewController->setPaintingKeeper(this);
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

fnd::Status KanvaroAppDelegate::saveBeforeQuitting()
{
    return m_galleryViewController ? m_galleryViewController->saveBeforeTerminating() : fnd::Status{};
}

// Closing the window must not lose a painting: one with unsaved changes is stored as going back to
// the gallery would store it; when that fails the person decides, knowing what is kept.
bool KanvaroAppDelegate::applicationShouldTerminate(bool canAsk, std::function<void()> terminateLater)
{
    if (canAsk && m_quitAlert.lock())
        return false; // already asking (a window's close comes with a quit request of its own)
    fnd::Status saved = saveBeforeQuitting();
    if (saved) {
        m_quitSettled = true;
        return true;
    }
    const std::string reason = DataModel::describeSaveFailure(saved.error());
    if (!canAsk) {
        quitUnattended(reason);
        return true;
    }
    askBeforeQuitting(reason, std::move(terminateLater));
    return false;
}

void KanvaroAppDelegate::askBeforeQuitting(const std::string& reason, std::function<void()> terminateLater)
{
    const bool kept = keepPaintingNow().ok();
    const std::string message = kQuitFailedMessage + reason + ".\n" + (kept ? kQuitKeptLine : kQuitLostLine);
    auto alert = std::make_shared<ui::AlertView>(kQuitFailedTitle, message, this, "Cancel",
                                                 std::vector<std::string>{kQuitAnywayButton});
    m_quitAlert = alert;
    m_terminateLater = std::move(terminateLater);
    alert->show();
}

// Nobody can answer (the window hidden, the display gone, the process told to end): the painting
// goes to a recovery copy, the reason to stderr, and the exit status says it was not saved.
void KanvaroAppDelegate::quitUnattended(const std::string& reason)
{
    auto kept = keepPaintingNow();
    std::fprintf(stderr, "Kanvaro: the painting could not be saved: %s\n", reason.c_str());
    if (kept)
        std::fprintf(stderr, "Kanvaro: a recovery copy is kept in %s and offered at the next start\n",
                     kept.value().c_str());
    else
        std::fprintf(stderr, "Kanvaro: no recovery copy could be kept either (%s): the painting is lost\n",
                     kept.error().c_str());
    m_exitStatus = 1;
    m_quitSettled = true;
}

void KanvaroAppDelegate::alertViewClickedButtonAtIndex(ui::AlertView& alert, int buttonIndex)
{
    if (&alert != m_quitAlert.lock().get())
        return;
    std::function<void()> terminate = std::exchange(m_terminateLater, {});
    if (buttonIndex != alert.firstOtherButtonIndex() || !terminate)
        return; // Cancel: the painting stays open (Export to Photos may still work)
    m_quitSettled = true;
    terminate();
}

void KanvaroAppDelegate::applicationWillTerminate()
{
    m_terminated = true;
    // Ended without being asked first (a host torn down, a scripted session's end): as with nobody
    // to ask.
    if (!m_quitSettled) {
        if (fnd::Status saved = saveBeforeQuitting(); !saved)
            quitUnattended(DataModel::describeSaveFailure(saved.error()));
        m_quitSettled = true;
    }
    if (m_recoveryTimer)
        m_recoveryTimer->invalidate();
    waitForPaintingCopy();
}
