#pragma once

#include "system_clock.h"

#include <chrono>
#include <ctime>
#include <functional>

namespace cronalba {

// Moves the system's real-time clock by shift; 0 when done, else the errno of the refusal.
using ClockShifter = std::function<int(std::chrono::microseconds shift)>;

// The time shift away from current, as clock_settime takes it: nanoseconds within the second.
timespec shiftedTime(timespec current, std::chrono::microseconds shift);

// The kernel's own setter (clock_settime of CLOCK_REALTIME): needs root or CAP_SYS_TIME.
int shiftRealtimeClock(std::chrono::microseconds shift);

// Sets the clock directly through the kernel; for machines without a time service.
class KernelClock : public SystemClockBase {
public:
    explicit KernelClock(ClockShifter shifter = shiftRealtimeClock);

    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override;

private:
    ClockShifter m_shifter;
};

} // namespace cronalba
