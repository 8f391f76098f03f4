#pragma once

#include "computer_clock.h"

namespace cronalba::windows {

// The computer's clock through the Windows API: read in the computer's time zone, and set with
// SetLocalTime, which needs an administrator's system-time privilege.
class WindowsClock final : public ComputerClock {
public:
    ClockReading now() const override;
    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override;
};

} // namespace cronalba::windows
