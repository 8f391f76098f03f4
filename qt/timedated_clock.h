#pragma once

#include "system_clock.h"

#include <QDBusConnection>

#include <chrono>
#include <functional>
#include <memory>

namespace cronalba {

// Moves the system's real-time clock by shift; 0 when done, else the errno of the refusal.
using ClockShifter = std::function<int(std::chrono::microseconds shift)>;

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

// The bus to reach the time service on, connected when the clock is first set rather than at
// start.
using BusConnector = std::function<QDBusConnection()>;

// Sets the clock through the system's time service (org.freedesktop.timedate1), which asks a
// desktop user for a password when needed. The change is sent relative to the current time, so
// a slow password prompt doesn't make the clock late. Where the service isn't on the bus, the
// fallback sets the clock instead.
class TimedatedClock : public SystemClockBase {
public:
    static constexpr std::chrono::milliseconds kDefaultReplyTimeout = std::chrono::minutes(5);

    explicit TimedatedClock(
        BusConnector bus, std::unique_ptr<ComputerClock> fallback = std::make_unique<KernelClock>(),
        std::chrono::milliseconds replyTimeout = kDefaultReplyTimeout);

    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override;

private:
    BusConnector m_bus;
    std::unique_ptr<ComputerClock> m_fallback;
    std::chrono::milliseconds m_replyTimeout;
};

} // namespace cronalba
