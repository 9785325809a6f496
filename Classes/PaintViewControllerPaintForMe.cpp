// "Paint for Me": the painting screen's automatic painting of its photo. The run (AutoPaintRun)
// lays the strokes through the screen's own brush; a shield over the window holds the Stop
// button and turns any touch into a stop first. Esc, any other key or button, and leaving the
// screen stop it as well.
#include <cstring>
#include <random>

#include "AutoPaintRun.h"
#include "BrushTool.h"
#include "DataModel.h"
#include "MediumValues.h"
#include "PaintForMeShield.h"
#include "PaintViewController.h"
#include "PaintingKeeper.h"
#include "Toolkit/Window.h"

namespace {

// The medium the brush is set to (its shape names it); the first when none matches.
int currentMedium(const BrushTool& brush)
{
    for (int i = 0; i < NUM_MEDIUM_VALUES; ++i)
        if (brush.shapeName() && *brush.shapeName() == g_arMediumValues[i].shapeName)
            return i;
    return 0;
}

} // namespace

bool PaintViewController::canPaintForMe() const
{
    const DataModel* document = DataModel::sharedDataModel();
    return document && document->rawImage() && m_paintView;
}

void PaintViewController::paintForMe()
{
    if (!canPaintForMe() || isPaintingForMe())
        return;
    AutoPaintSettings settings;
    settings.medium = currentMedium(canvasView().brushTool());
    settings.seed = std::random_device{}();
    startPaintingForMe(settings);
}

void PaintViewController::startPaintingForMe(const AutoPaintSettings& settings)
{
    // A snapshot still pending from the last hand stroke would split the automatic painting; the
    // canvas is flattened instead, and the stroke's end is reported now.
    const bool snapshotPending = m_paintView->saveUndoTimer() && m_paintView->saveUndoTimer()->isValid();
    if (snapshotPending) {
        m_paintView->saveUndoTimer()->invalidate();
        paintViewDidEndPainting(*m_paintView, true);
    }
    m_paintView->noteSnapshotTaken();
    DataModel* document = DataModel::sharedDataModel();
    std::weak_ptr<bool> alive = m_alive;
    m_paintForMe = AutoPaintRun::start(canvasView().brushTool(), document->rawImageRef(), settings, [this, alive] {
        if (alive.lock())
            paintingForMeEnded();
    });
    if (!m_paintForMe)
        return;
    document->setChangesMade(true);
    ui::Window* win = view()->window();
    if (!win)
        return;
    m_paintForMeShield =
        std::make_shared<PaintForMeShield>(win->bounds(), m_paintView.get(), [this] { stopPaintingForMe(); });
    win->addSubview(m_paintForMeShield);
}

bool PaintViewController::isPaintingForMe() const { return m_paintForMe && m_paintForMe->isRunning(); }

void PaintViewController::stopPaintingForMe()
{
    if (m_paintForMe)
        m_paintForMe->stop();
}

// The run has ended (finished or stopped): the shield goes, and a recovery copy keeps the result.
// A journal keeps the run as m_paintForMe->settings() and ->stopPoint(), replayed through
// PaintAutomatically, rather than each of its strokes.
void PaintViewController::paintingForMeEnded()
{
    if (m_paintForMeShield) {
        m_paintForMeShield->removeFromSuperview();
        m_paintForMeShield.reset();
    }
    if (m_paintView)
        m_paintView->noteSnapshotTaken();
    if (m_paintingKeeper)
        m_paintingKeeper->paintingDidChange();
}

void PaintViewController::viewWillDisappear(bool animated)
{
    stopPaintingForMe();
    ViewController::viewWillDisappear(animated);
}
