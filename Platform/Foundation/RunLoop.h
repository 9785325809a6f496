#pragma once
// The main thread's run loop: it fires timers when they are due and lets the host process input
// and draw in between. Everything runs on the main thread.
//
// Due timers fire in fire-date order, ties in scheduling order. runUntil may be called from a
// timer callback (a nested run): other timers keep firing, but a timer whose callback is still
// running is not fired again until it returns. With a ManualClock, runUntil moves the clock
// itself to each due timer in turn and finally to the requested date, so runs are instant and
// exact.
#include <functional>
#include <memory>
#include <vector>

#include "Foundation/Timer.h"

namespace fnd {

class RunLoop {
public:
    // The one run loop of the main thread.
    static RunLoop& main();

    // Schedules a timer (again, if it was scheduled before); invalid timers are ignored.
    void addTimer(const TimerRef& timer);
    // Drops every timer (for hosts shutting down and for test isolation).
    void removeAllTimers();

    // The host's input hook, run once per loop iteration: it processes pending input and draws,
    // and may block waiting for input up to `deadline` (a time on fnd::clock()) but no longer.
    using Source = std::function<void(double deadline)>;
    void setSource(Source source) { m_source = std::move(source); }

    // Runs until the current clock reaches `date`. Timers due at `date` itself still fire.
    void runUntil(double date);
    // Runs for `seconds` from now.
    void runFor(double seconds);
    // Fires the timers already due and runs the source once without waiting.
    void runOnce();

    // The earliest fire date among timers that can fire now (not running), or +infinity.
    double nextFireDate() const;
    // Number of valid scheduled timers.
    std::size_t timerCount() const;
    // Nesting depth of runUntil calls in progress.
    int depth() const { return m_depth; }

private:
    RunLoop() = default;
    // Fires every timer due at the current time; returns how many fired.
    int fireDueTimers();
    TimerRef takeEarliestDue(double now);
    void pruneInvalid();

    std::vector<TimerRef> m_timers;
    Source m_source;
    unsigned long long m_nextSequence = 0;
    int m_depth = 0;
};

} // namespace fnd
