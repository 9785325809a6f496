// The application's recovery copies of the open painting: asked for a few seconds after each
// change, written at once when a save fails or at quit, removed once the painting is saved.
#include "DataModel.h"
#include "Foundation/Log.h"
#include "KanvaroAppDelegate.h"
#include "PaintView.h"
#include "Recovery.h"

namespace {

// The document as it is now, finished for the writer's thread; nothing when memory runs out.
std::optional<recovery::Snapshot> snapshotOf(const DataModel& document)
{
    recovery::Snapshot snapshot = document.recoverySnapshot();
    if (!snapshot.painting)
        return std::nullopt;
    return snapshot;
}

} // namespace

recovery::Keeper& KanvaroAppDelegate::recoveryKeeper()
{
    if (!m_recoveryKeeper)
        m_recoveryKeeper = std::make_unique<recovery::Keeper>();
    return *m_recoveryKeeper;
}

// Changes in quick succession share one write: the pending one takes the latest pixels.
void KanvaroAppDelegate::paintingDidChange()
{
    if (m_recoveryTimer && m_recoveryTimer->isValid())
        return;
    m_recoveryTimer =
        fnd::Timer::scheduledTimer(recovery::kWriteDelay, false, [this](fnd::Timer&) { recoveryTimerEvent(); });
}

void KanvaroAppDelegate::recoveryTimerEvent()
{
    m_recoveryTimer.reset();
    // Never during a stroke: its touch-up takes a snapshot that asks for the write again.
    if (PaintView* view = paintView(); view && view->isPainting())
        return;
    DataModel* document = DataModel::sharedDataModel();
    if (!document || !document->changesMade() || !document->canvas())
        return;
    auto snapshot = snapshotOf(*document);
    if (!snapshot) {
        fnd::log("cannot keep a recovery copy of " + document->fileTitle() + ": out of memory");
        return;
    }
    recoveryKeeper().keep(std::move(*snapshot), recovery::folder());
}

fnd::Result<std::string> KanvaroAppDelegate::keepPaintingNow()
{
    if (m_recoveryTimer) {
        m_recoveryTimer->invalidate();
        m_recoveryTimer.reset();
    }
    DataModel* document = DataModel::sharedDataModel();
    if (!document || !document->canvas())
        return fnd::Error{"there is no painting to keep"};
    auto snapshot = snapshotOf(*document);
    if (!snapshot)
        return fnd::Error{"not enough memory for a copy of the painting"};
    return recoveryKeeper().keepAndWait(std::move(*snapshot), recovery::folder());
}

void KanvaroAppDelegate::discardPaintingCopy()
{
    if (m_recoveryTimer) {
        m_recoveryTimer->invalidate();
        m_recoveryTimer.reset();
    }
    if (m_recoveryKeeper)
        m_recoveryKeeper->discard();
}

void KanvaroAppDelegate::waitForPaintingCopy()
{
    if (m_recoveryKeeper)
        m_recoveryKeeper->waitUntilIdle();
}
