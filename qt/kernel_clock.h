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

// Sets one of the kernel's clocks as clock_settime does: 0 when done, else -1 and errno.
using KernelClockSetter = int (*)(clockid_t clock, const timespec *time);

// Moves the real-time clock by shift from the time it reads now, through setClock; the
// kernel's own setter needs root or CAP_SYS_TIME.
int shiftRealtimeClock(std::chrono::microseconds shift, KernelClockSetter setClock);

// Sets the clock directly through the kernel; for machines without a time service.
class KernelClock : public SystemClockBase {
public:
    explicit KernelClock(ClockShifter shifter = [](std::chrono::microseconds shift) {
        return shiftRealtimeClock(shift, clock_settime);
    });

    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override;

private:
    ClockShifter m_shifter;
};

} // namespace cronalba
