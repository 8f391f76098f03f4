#pragma once

#include "computer_clock.h"

#include <chrono>
#include <memory>
#include <optional>

namespace cronalba {

// The clock of this machine, set through the time service where it runs.
std::unique_ptr<ComputerClock> makeSystemClock();

// What every back end shares: reading the clock, in the computer's time zone.
class SystemClockBase : public ComputerClock {
public:
    ClockReading now() const override;
};

// How far the clock has to move so that, had it moved at requestedAt, it would have read
// newTime on requestedAt's local date then; daylight saving time as the time zone rules say.
// Nothing when newTime doesn't exist on that date (skipped by the change to summer time).
std::optional<std::chrono::microseconds> clockShift(TimeOfDay newTime, Moment requestedAt);

} // namespace cronalba
