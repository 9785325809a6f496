#pragma once
// Work that takes seconds (an export), done on a thread of its own while the screen stays
// responsive. The work runs on that thread over data nobody changes meanwhile, reports the part
// done and reads whether it was cancelled; the main thread hears the progress and the end from a
// run-loop timer, never from the worker, so the toolkit is only touched on the main thread.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "Foundation/Result.h"
#include "Foundation/Timer.h"

namespace ui {

class BackgroundJob {
public:
    // What the work holds on its thread.
    class Control {
    public:
        // Records the part done (0 to 1); false once the job was cancelled, so the work can stop.
        bool setProgress(double fraction)
        {
            m_progress.store(fraction, std::memory_order_relaxed);
            return !cancelled();
        }
        bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    private:
        friend class BackgroundJob;
        std::atomic<double> m_progress{0};
        std::atomic<bool> m_cancelled{false};
    };

    enum class Outcome { kDone, kFailed, kCancelled };
    // Runs on the job's thread: true when the work was done, false when it stopped on a cancel
    // (leaving nothing behind), or the reason it failed.
    using Work = std::function<fnd::Result<bool>(Control& control)>;
    // On the main thread, now and then while the work runs.
    using Progress = std::function<void(double fraction)>;
    // On the main thread, once, after the work ended (the reason when it failed).
    using Completion = std::function<void(Outcome outcome, const std::string& reason)>;

    // Starts the work at once; the caller keeps the job (dropping it cancels and waits).
    static std::unique_ptr<BackgroundJob> start(Work work, Progress progress, Completion completion);
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Asks the work to stop; the completion says kCancelled if it did (it may have ended first).
    void cancel() { m_control.m_cancelled.store(true, std::memory_order_relaxed); }

    static constexpr double kPollSeconds = 1.0 / 15;

private:
    BackgroundJob(Progress progress, Completion completion);
    void poll();

    Control m_control;
    Progress m_progress;
    Completion m_completion;
    fnd::Result<bool> m_result{false}; // written by the worker before m_ended
    std::atomic<bool> m_ended{false};
    bool m_completed = false;
    fnd::TimerRef m_timer;
    std::thread m_thread;
};

} // namespace ui
