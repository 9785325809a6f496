#pragma once
// Monotonic time in seconds for timers and animations. The process has one current clock: the
// real steady clock by default; tests install a ManualClock and advance it, so time-dependent
// behaviour is checked exactly and instantly.
#include <memory>

namespace fnd {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds on a monotonic scale; only differences matter.
    virtual double now() const = 0;
    // Lets time pass until `time`: the real clock sleeps, a manual clock jumps there.
    virtual void waitUntil(double time) = 0;
    // True when time only moves when someone moves it (the run loop then advances it itself).
    virtual bool isManual() const { return false; }
};

class RealClock final : public Clock {
public:
    double now() const override;
    void waitUntil(double time) override;
};

class ManualClock final : public Clock {
public:
    explicit ManualClock(double start = 0) : m_now(start) {}
    double now() const override { return m_now; }
    void waitUntil(double time) override;
    bool isManual() const override { return true; }

    void advance(double seconds);
    void setNow(double time); // never moves backwards

private:
    double m_now;
};

// The current clock (the real one unless replaced).
Clock& clock();
// Replaces the current clock; nullptr restores the real one. Returns the previous replacement.
std::shared_ptr<Clock> setClock(std::shared_ptr<Clock> clock);
// Counts clock replacements, so users that anchor to a clock notice a change.
unsigned clockGeneration();

// Installs a fresh ManualClock for the lifetime of the scope and restores the previous clock.
class ManualClockScope {
public:
    explicit ManualClockScope(double start = 0);
    ~ManualClockScope();
    ManualClockScope(const ManualClockScope&) = delete;
    ManualClockScope& operator=(const ManualClockScope&) = delete;

    ManualClock& clock() { return *m_clock; }
    void advance(double seconds) { m_clock->advance(seconds); }

private:
    std::shared_ptr<ManualClock> m_clock;
    std::shared_ptr<Clock> m_previous;
};

} // namespace fnd
