#include "Foundation/Date.h"

#include <chrono>

#include "Foundation/Clock.h"

namespace fnd {

namespace {
// A date is an anchor (date and clock reading taken together) plus the clock's progress since.
struct DateAnchor {
    bool valid = false;
    unsigned clockGeneration = 0;
    double date = 0;
    double clockReading = 0;
    bool overridden = false;
};

DateAnchor& anchor()
{
    static DateAnchor a;
    return a;
}

double systemSecondsSinceReferenceDate()
{
    using namespace std::chrono;
    double unix = duration<double>(system_clock::now().time_since_epoch()).count();
    return unix - kReferenceDateUnixSeconds;
}

void reanchor(DateAnchor& a, double date)
{
    a.valid = true;
    a.clockGeneration = clockGeneration();
    a.date = date;
    a.clockReading = clock().now();
}
} // namespace

double secondsSinceReferenceDate()
{
    auto& a = anchor();
    if (!a.valid || a.clockGeneration != clockGeneration()) {
        // A new clock: keep an overridden date where it stood, otherwise take the system's date.
        double date = a.valid && a.overridden ? a.date : systemSecondsSinceReferenceDate();
        reanchor(a, date);
    }
    return a.date + (clock().now() - a.clockReading);
}

void setSecondsSinceReferenceDateOverride(std::optional<double> now)
{
    auto& a = anchor();
    if (!now) {
        a = DateAnchor{};
        return;
    }
    a.overridden = true;
    reanchor(a, *now);
}

} // namespace fnd
