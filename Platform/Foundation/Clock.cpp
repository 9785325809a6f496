#include "Foundation/Clock.h"

#include <chrono>
#include <thread>
#include <utility>

namespace fnd {

namespace {
struct ClockState {
    RealClock real;
    std::shared_ptr<Clock> replacement;
    unsigned generation = 0;
};

ClockState& state()
{
    static ClockState s;
    return s;
}
} // namespace

double RealClock::now() const
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::waitUntil(double time)
{
    double remaining = time - now();
    if (remaining > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(remaining));
}

void ManualClock::waitUntil(double time) { setNow(time); }

void ManualClock::advance(double seconds)
{
    if (seconds > 0)
        m_now += seconds;
}

void ManualClock::setNow(double time)
{
    if (time > m_now)
        m_now = time;
}

Clock& clock()
{
    auto& s = state();
    if (s.replacement)
        return *s.replacement;
    return s.real;
}

std::shared_ptr<Clock> setClock(std::shared_ptr<Clock> replacement)
{
    auto& s = state();
    ++s.generation;
    return std::exchange(s.replacement, std::move(replacement));
}

unsigned clockGeneration() { return state().generation; }

ManualClockScope::ManualClockScope(double start)
    : m_clock(std::make_shared<ManualClock>(start)), m_previous(setClock(m_clock))
{
}

ManualClockScope::~ManualClockScope() { setClock(std::move(m_previous)); }

} // namespace fnd
