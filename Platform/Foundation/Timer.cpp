#include "Foundation/Timer.h"

#include <cmath>
#include <utility>

#include "Foundation/Clock.h"
#include "Foundation/RunLoop.h"

namespace fnd {

namespace {
constexpr double kMinimumRepeatInterval = 0.001;
}

Timer::Timer(double interval, bool repeats, Callback callback, double fireDate)
    : m_interval(interval), m_repeats(repeats), m_fireDate(fireDate), m_callback(std::move(callback))
{
}

std::shared_ptr<Timer> Timer::create(double interval, bool repeats, Callback callback)
{
    if (!(interval >= 0)) // also catches NaN
        interval = 0;
    if (repeats && interval < kMinimumRepeatInterval)
        interval = kMinimumRepeatInterval;
    double fireDate = clock().now() + interval;
    return std::shared_ptr<Timer>(new Timer(interval, repeats, std::move(callback), fireDate));
}

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, Callback callback)
{
    auto timer = create(interval, repeats, std::move(callback));
    RunLoop::main().addTimer(timer);
    return timer;
}

void Timer::invalidate()
{
    m_valid = false;
    // Let go of whatever the callback captured; inside the callback itself that waits until it returns.
    if (!m_firing)
        m_callback = nullptr;
}

void Timer::fireScheduled(double now)
{
    auto keepAlive = shared_from_this();
    m_firing = true;
    if (!m_repeats)
        m_valid = false; // a one-shot timer is spent as it fires; its callback may still query it
    if (m_callback)
        m_callback(*this);
    m_firing = false;
    if (!m_valid) {
        m_callback = nullptr;
        return;
    }
    // The next tick after the one that fired; ticks missed while the callback ran (or the thread
    // was busy) collapse into that one instead of firing in a burst.
    double after = std::max(now, clock().now());
    double next = m_fireDate + m_interval;
    if (next <= after)
        next = m_fireDate + m_interval * (std::floor((after - m_fireDate) / m_interval) + 1);
    m_fireDate = next;
}

} // namespace fnd
