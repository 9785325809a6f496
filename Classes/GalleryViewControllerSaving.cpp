// The gallery's saving and recovery: the save when the person comes back from the painting screen
// (and, at quit, before the process ends), what follows a failed save, and the offer of a recovery
// copy, left by a crash or by a save that failed in this session.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

#include "DataModel.h"
#include "Foundation/Log.h"
#include "GalleryViewController.h"
#include "PaintViewController.h"
#include "Recovery.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/NavigationController.h"

namespace {

// When the copy was kept, as a person reads a clock: "14:05", or "8 Dec 14:05" on another day.
std::string keptAt(const std::string& path)
{
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    if (error)
        return "an unknown time";
    const std::time_t kept = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(std::chrono::file_clock::to_sys(written)));
    const std::time_t now = std::time(nullptr);
    std::tm keptTm{};
    std::tm nowTm{};
    localtime_r(&kept, &keptTm);
    localtime_r(&now, &nowTm);
    const bool today = keptTm.tm_year == nowTm.tm_year && keptTm.tm_yday == nowTm.tm_yday;
    char text[32];
    std::strftime(text, sizeof text, today ? "%H:%M" : "%e %b %H:%M", &keptTm);
    std::string out = text;
    return out.front() == ' ' ? out.substr(1) : out;
}

} // namespace

void GalleryViewController::viewDidAppear(bool animated)
{
    ui::ViewController::viewDidAppear(animated);
    // The painting screen still on the stack (the picker slid away under a new push) is no return.
    ui::NavigationController* navigation = navigationController();
    const bool returned = m_paintViewController && (!navigation || navigation->topViewController() == this);
    bool safe = false;
    if (returned) {
        m_paintViewController.reset();
        DataModel* document = DataModel::sharedDataModel();
        safe = document && (!document->changesMade() || saveWithOverlay());
    }
    reloadList();
    // Copies left by another Kanvaro that crashed while this one ran are offered too, so that none
    // waits unseen while its painting is opened and saved over.
    if (safe)
        offerRecovery();
}

std::string GalleryViewController::savedBesideMessage(const std::string& oldTitle, const std::string& newTitle)
{
    if (oldTitle == newTitle)
        return {};
    return "\u201c" + oldTitle
           + "\u201d was changed elsewhere after you opened it, so your painting was saved beside it as \u201c"
           + newTitle + "\u201d.";
}

bool GalleryViewController::saveWithOverlay()
{
    DataModel* document = DataModel::sharedDataModel();
    const std::string title = document->fileTitle();
    startSpinnerWithText("Saving");
    // The archive and the thumbnail are each replaced atomically: a failed save leaves the copy
    // saved before intact.
    fnd::Status saved = document->saveToFiles();
    stopSpinner();
    if (saved) {
        m_saveFailed = false;
        if (m_paintingKeeper)
            m_paintingKeeper->discardPaintingCopy();
        if (std::string beside = savedBesideMessage(title, document->fileTitle()); !beside.empty())
            std::make_shared<ui::AlertView>(kSavedBesideTitle, beside, nullptr, "OK", std::vector<std::string>{})
                ->show();
        return true;
    }
    // The strokes since the last recovery copy are only in memory now: a copy first, then the
    // question.
    m_saveFailed = true;
    auto kept = m_paintingKeeper ? m_paintingKeeper->keepPaintingNow()
                                 : fnd::Result<std::string>(fnd::Error{"no recovery copies are kept"});
    m_unsavedCopy = kept ? kept.value() : std::string();
    if (!kept)
        fnd::log("no recovery copy of the unsaved painting: " + kept.error());
    const std::string message = std::string(kSaveFailedMessage) + "\n" + DataModel::describeSaveFailure(saved.error());
    auto alert = std::make_shared<ui::AlertView>(kErrorTitle, message, this, "Cancel",
                                                 std::vector<std::string>{kTryAgainButton});
    m_saveFailedAlert = alert;
    alert->show();
    return false;
}

fnd::Status GalleryViewController::saveBeforeTerminating()
{
    DataModel* document = DataModel::sharedDataModel();
    if (!document || !document->changesMade() || (!m_paintViewController && !m_saveFailed))
        return {};
    const std::string title = document->fileTitle();
    fnd::Status saved = document->saveToFiles();
    if (!saved)
        return saved;
    m_saveFailed = false;
    if (m_paintingKeeper)
        m_paintingKeeper->discardPaintingCopy();
    fnd::log("saved the painting to " + document->getFullPath());
    if (std::string beside = savedBesideMessage(title, document->fileTitle()); !beside.empty())
        std::fprintf(stderr, "Kanvaro: %s\n", beside.c_str());
    return {};
}

void GalleryViewController::offerRecovery(std::string thenOpen)
{
    const std::optional<std::string> path = recovery::findCopy();
    if (!path) {
        if (!thenOpen.empty())
            openFileAtPath(thenOpen);
        return;
    }
    // Read it now, so that a copy that cannot be read is set aside (and the user told, once: it
    // is no longer found) instead of offered.
    const auto copy = DataModel::initWithRecoveryCopy(*path);
    if (!copy) {
        fnd::log("the recovery copy " + *path + " cannot be read: " + copy.error());
        auto aside = recovery::setAside(*path);
        fnd::log(aside ? "set it aside as " + aside.value() : aside.error());
        std::make_shared<ui::AlertView>(kUnreadableTitle, kUnreadableMessage, nullptr, "OK", std::vector<std::string>{})
            ->show();
        if (!thenOpen.empty())
            openFileAtPath(thenOpen);
        return;
    }
    m_openAfterOffer = std::move(thenOpen);
    showRestoreOffer(*path, false);
}

std::string GalleryViewController::restoreMessage(const std::string& copyPath, bool unsavedHere)
{
    return std::string(unsavedHere ? kRestoreUnsavedMessage : kRestoreMessage) + "\nRestore \u201c"
           + recovery::titleOf(copyPath) + "\u201d as it was at " + keptAt(copyPath) + "?";
}

void GalleryViewController::showRestoreOffer(const std::string& path, bool unsavedHere)
{
    m_recoveryPath = path;
    m_offeringUnsavedCopy = unsavedHere;
    auto alert = std::make_shared<ui::AlertView>(kRestoreTitle, restoreMessage(path, unsavedHere), this, kDiscardButton,
                                                 std::vector<std::string>{kRestoreButton});
    m_restoreAlert = alert;
    alert->show();
}

// Cancel after a failed save: the copy written then is offered back at once, so the painting does
// not seem gone until the next start.
void GalleryViewController::offerUnsavedCopy()
{
    std::error_code error;
    if (m_unsavedCopy.empty() || !std::filesystem::exists(m_unsavedCopy, error)) {
        fnd::log("the unsaved painting has no recovery copy to offer");
        return;
    }
    showRestoreOffer(m_unsavedCopy, true);
}

void GalleryViewController::alertViewClickedButtonAtIndex(ui::AlertView& alert, int buttonIndex)
{
    if (&alert == m_saveFailedAlert.lock().get()) {
        if (buttonIndex != alert.firstOtherButtonIndex())
            offerUnsavedCopy();
        else if (DataModel::sharedDataModel() && saveWithOverlay()) { // Try Again
            reloadList();
            offerRecovery();
        }
        return;
    }
    if (&alert != m_restoreAlert.lock().get())
        return;
    const std::string thenOpen = std::exchange(m_openAfterOffer, {});
    if (buttonIndex == alert.firstOtherButtonIndex()) {
        // The restored painting is the one on screen; the file named at launch stays unopened.
        if (!thenOpen.empty())
            fnd::log("not opening " + thenOpen + ": a recovered painting was restored instead");
        restoreRecoveryCopy();
    } else {
        if (m_offeringUnsavedCopy && m_paintingKeeper) {
            m_paintingKeeper->discardPaintingCopy(); // this session's own: the keeper holds it
            m_saveFailed = false;                    // and the person let the painting go
        } else {
            recovery::removeCopyOf(recovery::titleOf(m_recoveryPath));
        }
        if (!thenOpen.empty())
            openFileAtPath(thenOpen);
    }
    m_recoveryPath.clear();
}

// The copy opens as a changed painting under its own title, so going back saves it as a normal
// painting (over the one it was made from, unless that was saved again since) and removes the
// copy. It is written again at once, so this session holds it and removes it once saved.
void GalleryViewController::restoreRecoveryCopy()
{
    DataModel* document = DataModel::sharedDataModelWithRecoveryCopy(m_recoveryPath);
    if (!document) {
        showError(kOpenFailedMessage);
        return;
    }
    const std::string title = recovery::titleOf(m_recoveryPath);
    if (!title.empty())
        document->setFileTitle(title);
    else
        document->setFileTitle(document->getUniqueFileTitle());
    document->setChangesMade(true);
    fnd::log("restored the painting " + document->fileTitle());
    if (m_paintingKeeper) {
        if (auto kept = m_paintingKeeper->keepPaintingNow(); !kept)
            fnd::log("the restored painting's copy stays as it was: " + kept.error());
    }
    pushPaintViewController();
}
