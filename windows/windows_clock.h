#pragma once

#include "computer_clock.h"

#include <windows.h>

#include <optional>

namespace cronalba::windows {

// The computer's clock through the Windows API: read in the computer's time zone, and set with
// SetLocalTime, which needs an administrator's system-time privilege.
class WindowsClock final : public ComputerClock {
public:
    ClockReading now() const override;
    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override;
};

// The local date and time to hand to SetLocalTime at the moment now, so that the clock reads as
// if it had been set to newTime on requestedAt's date at requestedAt; nothing when zone never
// shows newTime on that date (skipped by the change to summer time). zone null is the
// computer's time zone.
std::optional<SYSTEMTIME> localTimeToSet(TimeOfDay newTime, Moment requestedAt, Moment now,
                                         const TIME_ZONE_INFORMATION *zone = nullptr);

} // namespace cronalba::windows
