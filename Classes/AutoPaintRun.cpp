#include "AutoPaintRun.h"

#include <algorithm>

#include "BrushTool.h"
#include "Canvas.h"
#include "Foundation/Clock.h"
#include "Journal.h"
#include "MediumValues.h"
#include "RawImage.h"
#include "Toolkit/View.h"

namespace {

// Work (the sum of the strokes' brush sizes) a group not yet planned is guessed to need, as a
// multiple of the last planned group's: half the size, up to four times the strokes, fewer of
// them needed as the painting settles.
constexpr double kNextGroupGuess = 1.5;
// A frame lays at most this many strokes, so the screen keeps moving after a pause.
constexpr int kMaxStrokesPerFrame = 400;

} // namespace

// The brush's own settings, given back when the run ends.
struct AutoPaintRun::BrushSettings {
    BrushTool::Mode mode;
    std::optional<std::string> shapeName;
    gfx::ImageMaskRef shapeMask;
    int size;
    float opacity, spacing, direction;
    bool splatter, addNoise, fixedDirection, airbrush;
    std::uint64_t nextStrokeNumber;

    explicit BrushSettings(const BrushTool& b)
        : mode(b.mode())
        , shapeName(b.shapeName())
        , shapeMask(b.shapeMask())
        , size(b.size())
        , opacity(b.opacity())
        , spacing(b.spacing())
        , direction(b.direction())
        , splatter(b.splatter())
        , addNoise(b.addNoise())
        , fixedDirection(b.fixedDirection())
        , airbrush(b.airbrush())
        , nextStrokeNumber(b.nextStrokeNumber())
    {
    }
    void restore(BrushTool& b) const
    {
        b.setMode(mode);
        if (shapeName && shapeName != b.shapeName())
            b.setShapeName(*shapeName);
        b.setShapeMask(shapeMask);
        b.setSize(size);
        b.setOpacity(opacity);
        b.setSpacing(spacing);
        b.setDirection(direction);
        b.setSplatter(splatter);
        b.setAddNoise(addNoise);
        b.setFixedDirection(fixedDirection);
        b.setAirbrush(airbrush);
        b.setNextStrokeNumber(nextStrokeNumber);
    }
};

AutoPaintRun::AutoPaintRun(BrushTool& brush, const AutoPaintSettings& settings) : m_brush(brush), m_settings(settings)
{
}

std::unique_ptr<AutoPaintRun> AutoPaintRun::start(BrushTool& brush, std::shared_ptr<const RawImage> photo,
                                                  const AutoPaintSettings& settings, std::function<void()> finished)
{
    Canvas* canvas = brush.canvas().get();
    if (!canvas || !photo || settings.medium < 0 || settings.medium >= NUM_MEDIUM_VALUES)
        return nullptr;
    BeginAutoPainting(*canvas);
    std::unique_ptr<Canvas> copy = CopyCanvasForAutoPainting(*canvas);
    if (!copy)
        return nullptr;
    std::unique_ptr<AutoPaintRun> run(new AutoPaintRun(brush, settings));
    // The journal keeps the run as one event when it ends, not each stroke; a save meanwhile
    // keeps it as far as it has got.
    run->m_journal = canvas->journalRef();
    canvas->setJournal(nullptr);
    if (run->m_journal)
        canvas->setJournalSoFar([self = run.get()] { return self->journalSoFar(); });
    run->m_savedBrush = std::make_unique<BrushSettings>(brush);
    run->m_finished = std::move(finished);
    run->m_running = true;
    run->m_startTime = fnd::clock().now();
    run->m_planner = std::thread([self = run.get(), photo = std::move(photo), copy = std::move(copy)]() mutable {
        self->plan(std::move(photo), std::move(copy));
    });
    run->m_frameTimer = fnd::Timer::scheduledTimer(
        kFrameInterval, true, [self = run.get()](fnd::Timer&) { self->layFrame(fnd::clock().now()); });
    return run;
}

AutoPaintRun::~AutoPaintRun()
{
    m_finished = nullptr; // nobody to tell any more
    stop();
    m_stopPlanning = true;
    if (m_planner.joinable())
        m_planner.join();
}

void AutoPaintRun::plan(std::shared_ptr<const RawImage> photo, std::unique_ptr<Canvas> copy)
{
    auto painter = AutoPainter::create(std::move(photo), std::move(copy), m_settings);
    if (painter) {
        {
            std::lock_guard lock(m_mutex);
            m_groupCount = painter->groupCount();
        }
        while (auto group = painter->planNextGroup(&m_stopPlanning)) {
            std::lock_guard lock(m_mutex);
            m_planned.push_back(std::move(*group));
            m_groupReady.notify_all();
        }
    }
    std::lock_guard lock(m_mutex);
    m_planningDone = true;
    m_groupReady.notify_all();
}

// Moves the next planned group in, once the one being laid is done; false when none is ready.
bool AutoPaintRun::takeGroup()
{
    std::unique_lock lock(m_mutex);
    if (fnd::clock().isManual())
        m_groupReady.wait(lock, [this] { return !m_planned.empty() || m_planningDone; });
    if (m_planned.empty())
        return false;
    m_current = std::move(m_planned.front());
    m_planned.pop_front();
    const double work = static_cast<double>(m_current->brushSize) * static_cast<double>(m_current->strokes.size());
    m_workKnown += work;
    m_lastGroupWork = work;
    m_groupsKnown = m_current->index + 1;
    m_laid = {m_current->index, 0};
    PrepareAutoBrush(m_brush, g_arMediumValues[m_settings.medium], m_current->brushSize, m_settings.seed);
    return true;
}

// The work that should be laid by `now` for the whole painting to take kDuration.
double AutoPaintRun::workDue(double now) const
{
    int groupCount;
    {
        std::lock_guard lock(m_mutex);
        groupCount = m_groupCount;
    }
    double total = m_workKnown, guess = m_lastGroupWork;
    for (int g = m_groupsKnown; g < groupCount; ++g)
        total += (guess *= kNextGroupGuess);
    return std::clamp((now - m_startTime) / kDuration, 0.0, 1.0) * total;
}

void AutoPaintRun::layFrame(double now)
{
    if (!m_running)
        return;
    for (int laidThisFrame = 0; laidThisFrame < kMaxStrokesPerFrame;) {
        if (!m_current || static_cast<std::size_t>(m_laid.strokes) >= m_current->strokes.size()) {
            if (m_current) {
                EndAutoStrokeGroup(*m_brush.canvas());
                m_current.reset();
            }
            if (!takeGroup())
                break; // planning is behind, or done
            continue;
        }
        if (m_workLaid >= workDue(now))
            break;
        LayAutoStroke(m_brush, m_current->strokes[static_cast<std::size_t>(m_laid.strokes)]);
        ++m_laid.strokes;
        m_workLaid += m_current->brushSize;
        ++laidThisFrame;
    }
    bool done;
    {
        std::lock_guard lock(m_mutex);
        done = !m_current && m_planningDone && m_planned.empty();
    }
    if (done) {
        m_completed = true;
        finish();
    }
}

std::shared_ptr<Journal> AutoPaintRun::journalSoFar() const
{
    auto journal = std::make_shared<Journal>(*m_journal);
    journal->recordExtension(kAutoPaintJournalKind, EncodeAutoPaintEvent(m_settings, m_laid));
    return journal;
}

void AutoPaintRun::stop()
{
    if (!m_running)
        return;
    if (m_current)
        EndAutoStrokeGroup(*m_brush.canvas());
    finish();
}

void AutoPaintRun::finish()
{
    m_running = false;
    m_stopPlanning = true;
    if (m_frameTimer)
        m_frameTimer->invalidate();
    m_frameTimer.reset();
    if (m_savedBrush)
        m_savedBrush->restore(m_brush);
    if (const std::shared_ptr<Journal> journal = std::move(m_journal)) {
        if (Canvas* canvas = m_brush.canvas().get()) {
            canvas->setJournalSoFar(nullptr);
            canvas->setJournal(journal);
            journal->recordExtension(kAutoPaintJournalKind, EncodeAutoPaintEvent(m_settings, stopPoint()));
        }
    }
    if (m_brush.canvasView())
        m_brush.canvasView()->setNeedsDisplay();
    if (auto finished = std::move(m_finished))
        finished();
}
