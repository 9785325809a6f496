#pragma once
// A one-shot or repeating timer on the main run loop. Timers are shared: the run loop keeps a
// scheduled timer alive until it is invalidated (or, for a one-shot timer, has fired), and the
// owner may keep its own reference to invalidate it later. Invalidating a timer inside its own
// callback is safe.
#include <functional>
#include <memory>

namespace fnd {

class RunLoop;

class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Callback = std::function<void(Timer&)>;

    // A timer that first fires `interval` seconds from now (fnd::clock()); not yet scheduled.
    // Repeating timers need an interval above zero (smaller ones are raised to a millisecond).
    static std::shared_ptr<Timer> create(double interval, bool repeats, Callback callback);
    // Creates a timer and schedules it on the main run loop.
    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats, Callback callback);

    double fireDate() const { return m_fireDate; }
    bool isValid() const { return m_valid; }
    // Stops the timer for good; the run loop lets go of it.
    void invalidate();

    // True while the callback runs (a repeating timer never re-enters itself).
    bool isFiring() const { return m_firing; }

private:
    friend class RunLoop;
    Timer(double interval, bool repeats, Callback callback, double fireDate);
    // Called by the run loop with the time it fires at; reschedules a repeating timer.
    void fireScheduled(double now);

    double m_interval;
    bool m_repeats;
    double m_fireDate;
    bool m_valid = true;
    bool m_firing = false;
    unsigned long long m_sequence = 0; // scheduling order, to break fire-date ties
    Callback m_callback;
};

using TimerRef = std::shared_ptr<Timer>;

} // namespace fnd
