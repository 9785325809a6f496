#pragma once
// One automatic painting on screen: a planner on its own thread paints its copy of the canvas and
// hands over each brush size's strokes; a frame timer on the main run loop lays them through the
// screen's brush in the same order, a few each frame, coarse first, paced so that the whole
// painting takes about kDuration seconds. The canvas is flattened before the first stroke (the
// state one undo returns to) and each group is merged before the next.
//
// The brush paints in photo colour with the chosen medium while the run lasts; its own settings
// come back when the run ends. The canvas's journal records nothing while the run lays strokes,
// and the run as one event (settings and stopPoint()) when it ends; a save meanwhile stores the
// journal with the run as far as it has got (Canvas::setJournalSoFar). Main thread only (but for
// the planner's own thread inside).
//
// The screen never waits for the planner: a frame with nothing planned yet lays nothing. Under a
// manual clock (scripted sessions, tests) time stands still instead while the planner works, so
// each frame lays exactly what is due.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "AutoPainter.h"
#include "Foundation/Timer.h"

class BrushTool;
class Canvas;
class Journal;
class RawImage;

class AutoPaintRun {
public:
    static constexpr double kDuration = 20.0; // seconds for a whole painting
    static constexpr double kFrameInterval = 1 / 60.0;

    // Starts painting `canvas` (the brush's) from `photo`. `finished` is called once, when the
    // painting is complete or stopped. nullptr when the canvas cannot be copied.
    static std::unique_ptr<AutoPaintRun> start(BrushTool& brush, std::shared_ptr<const RawImage> photo,
                                               const AutoPaintSettings& settings, std::function<void()> finished);
    ~AutoPaintRun(); // stops
    AutoPaintRun(const AutoPaintRun&) = delete;
    AutoPaintRun& operator=(const AutoPaintRun&) = delete;

    bool isRunning() const { return m_running; }
    const AutoPaintSettings& settings() const { return m_settings; }
    // How far it got: the group being laid and the strokes of it laid so far.
    AutoPaintPoint laid() const { return m_laid; }
    // What a journal keeps of a run that has ended, with its settings(): where it was stopped, or
    // nothing when it laid the whole painting. PaintAutomatically(canvas before the run, photo,
    // settings(), stopPoint()) paints the same pixels again.
    std::optional<AutoPaintPoint> stopPoint() const { return m_completed ? std::nullopt : std::optional(m_laid); }
    // Stops at once, leaving what is laid (its group merged), and gives the brush its settings
    // back; then calls the finished handler. Nothing when not running.
    void stop();
    // One frame's worth of strokes (the frame timer calls it); public for scripted tests.
    void layFrame(double now);

private:
    AutoPaintRun(BrushTool& brush, const AutoPaintSettings& settings);
    void plan(std::shared_ptr<const RawImage> photo, std::unique_ptr<Canvas> copy);
    bool takeGroup();
    double workDue(double now) const;
    void finish();
    // The journal as it would stand were the run stopped now, for a save meanwhile.
    std::shared_ptr<Journal> journalSoFar() const;

    struct BrushSettings;
    BrushTool& m_brush;
    AutoPaintSettings m_settings;
    std::unique_ptr<BrushSettings> m_savedBrush;
    std::function<void()> m_finished;
    std::shared_ptr<Journal> m_journal; // the canvas's, kept aside while the run lays strokes
    fnd::TimerRef m_frameTimer;
    bool m_running = false;
    bool m_completed = false; // every planned stroke was laid
    double m_startTime = 0;

    // Shared with the planner's thread.
    mutable std::mutex m_mutex;
    std::condition_variable m_groupReady;
    std::deque<AutoStrokeGroup> m_planned;
    bool m_planningDone = false;
    int m_groupCount = 0;
    std::atomic<bool> m_stopPlanning{false};
    std::thread m_planner;

    // The group being laid (main thread).
    std::optional<AutoStrokeGroup> m_current;
    AutoPaintPoint m_laid;
    double m_workLaid = 0;  // brush sizes of the strokes laid: the measure of pace
    double m_workKnown = 0; // of every group planned so far
    int m_groupsKnown = 0;
    double m_lastGroupWork = 0;
};
