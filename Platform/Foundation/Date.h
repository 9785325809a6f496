#pragma once
// Wall-clock dates as seconds since the reference date, 2001-01-01 00:00:00 UTC. Dates move with
// the current fnd::clock(): under a ManualClock they advance exactly as the clock is advanced, so
// "two seconds since the last snapshot" holds in tests as it does on a real run.
#include <optional>

namespace fnd {

// Seconds between the Unix epoch and the reference date.
inline constexpr double kReferenceDateUnixSeconds = 978307200.0;

double secondsSinceReferenceDate();

// Makes secondsSinceReferenceDate() read `now` at this moment and then advance with the current
// clock (tests give document titles a known date). std::nullopt returns to the system's date.
void setSecondsSinceReferenceDateOverride(std::optional<double> now);

} // namespace fnd
