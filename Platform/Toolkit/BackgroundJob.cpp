#include "Toolkit/BackgroundJob.h"

namespace ui {

BackgroundJob::BackgroundJob(Progress progress, Completion completion)
    : m_progress(std::move(progress)), m_completion(std::move(completion))
{
}

std::unique_ptr<BackgroundJob> BackgroundJob::start(Work work, Progress progress, Completion completion)
{
    std::unique_ptr<BackgroundJob> job(new BackgroundJob(std::move(progress), std::move(completion)));
    BackgroundJob* self = job.get();
    self->m_timer = fnd::Timer::scheduledTimer(kPollSeconds, true, [self](fnd::Timer&) { self->poll(); });
    self->m_thread = std::thread([self, work = std::move(work)] {
        self->m_result = work(self->m_control);
        self->m_ended.store(true, std::memory_order_release);
    });
    return job;
}

BackgroundJob::~BackgroundJob()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
    if (m_timer)
        m_timer->invalidate();
}

void BackgroundJob::poll()
{
    if (m_completed)
        return;
    if (!m_ended.load(std::memory_order_acquire)) {
        if (m_progress)
            m_progress(m_control.m_progress.load(std::memory_order_relaxed));
        return;
    }
    m_thread.join();
    m_timer->invalidate();
    m_completed = true;
    const Outcome outcome = !m_result ? Outcome::kFailed : m_result.value() ? Outcome::kDone : Outcome::kCancelled;
    const std::string reason = m_result ? std::string() : m_result.error();
    // Last: the completion may drop the job.
    if (m_completion)
        m_completion(outcome, reason);
}

} // namespace ui
