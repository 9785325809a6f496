#include "Foundation/RunLoop.h"

#include <algorithm>
#include <limits>

#include "Foundation/Clock.h"

namespace fnd {

namespace {
bool canFire(const TimerRef& t) { return t->isValid() && !t->isFiring(); }

// Fire-date order, ties in scheduling order.
bool firesBefore(const Timer& a, unsigned long long seqA, const Timer& b, unsigned long long seqB)
{
    if (a.fireDate() != b.fireDate())
        return a.fireDate() < b.fireDate();
    return seqA < seqB;
}
} // namespace

RunLoop& RunLoop::main()
{
    static RunLoop loop;
    return loop;
}

void RunLoop::addTimer(const TimerRef& timer)
{
    if (!timer || !timer->isValid())
        return;
    if (std::find(m_timers.begin(), m_timers.end(), timer) != m_timers.end())
        return;
    timer->m_sequence = m_nextSequence++;
    m_timers.push_back(timer);
}

void RunLoop::removeAllTimers() { m_timers.clear(); }

void RunLoop::pruneInvalid()
{
    std::erase_if(m_timers, [](const TimerRef& t) { return !t->isValid(); });
}

TimerRef RunLoop::takeEarliestDue(double now)
{
    TimerRef best;
    for (const auto& t : m_timers) {
        if (!canFire(t) || t->fireDate() > now)
            continue;
        if (!best || firesBefore(*t, t->m_sequence, *best, best->m_sequence))
            best = t;
    }
    return best;
}

int RunLoop::fireDueTimers()
{
    int fired = 0;
    // One timer at a time: a callback may add, invalidate or re-date any timer, so the choice of
    // the next one is made afresh each time.
    while (TimerRef timer = takeEarliestDue(clock().now())) {
        timer->fireScheduled(clock().now());
        ++fired;
    }
    pruneInvalid();
    return fired;
}

double RunLoop::nextFireDate() const
{
    double next = std::numeric_limits<double>::infinity();
    for (const auto& t : m_timers) {
        if (canFire(t))
            next = std::min(next, t->fireDate());
    }
    return next;
}

std::size_t RunLoop::timerCount() const
{
    return static_cast<std::size_t>(
        std::count_if(m_timers.begin(), m_timers.end(), [](const TimerRef& t) { return t->isValid(); }));
}

void RunLoop::runUntil(double date)
{
    ++m_depth;
    for (;;) {
        fireDueTimers();
        if (clock().now() >= date)
            break;
        double deadline = std::min(nextFireDate(), date);
        if (m_source) {
            m_source(deadline);
            // A manual clock only moves when told: the source has had its chance, now time passes.
            if (clock().isManual())
                clock().waitUntil(deadline);
        } else {
            clock().waitUntil(deadline);
        }
    }
    --m_depth;
}

void RunLoop::runFor(double seconds) { runUntil(clock().now() + std::max(0.0, seconds)); }

void RunLoop::runOnce()
{
    fireDueTimers();
    if (m_source)
        m_source(clock().now());
}

} // namespace fnd
