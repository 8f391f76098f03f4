#pragma once

#include "computer_clock.h"
#include "set_local_time.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace cronalba::windows {

// How a run of the program's elevated copy went (see elevated_change.h).
struct ElevatedRun {
    DWORD startError = ERROR_SUCCESS; // why it didn't start: ERROR_CANCELLED, consent refused
    DWORD exitStatus = 0;             // once it started, how it ended
};

// Starts the program's elevated copy with argument, which makes Windows ask for an
// administrator's consent, and waits for its end.
using RunElevated = std::function<ElevatedRun(const std::wstring &argument)>;

// The computer's clock through the Windows API: read in the computer's time zone, and set with
// SetLocalTime, which needs an administrator's system-time privilege. Without it, the change is
// handed to an elevated copy of the program through runElevated.
class WindowsClock final : public ComputerClock {
public:
    explicit WindowsClock(RunElevated elevatedRun, ClockCalls calls = {})
        : runElevated(std::move(elevatedRun))
        , clockCalls(std::move(calls)) {}

    ClockReading now() const override;
    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override;

private:
    RunElevated runElevated;
    ClockCalls clockCalls;
};

// How far the clock is to move from requestedAt for it to read newTime on requestedAt's date,
// to the millisecond; nothing when zone never shows newTime on that date (skipped by the change
// to summer time). zone null is the computer's time zone.
std::optional<std::chrono::milliseconds> shiftToSet(TimeOfDay newTime, Moment requestedAt,
                                                    const TIME_ZONE_INFORMATION *zone = nullptr);

// The calendar time that zone (null: the computer's) shows at moment.
SYSTEMTIME localTimeAt(Moment moment, const TIME_ZONE_INFORMATION *zone = nullptr);

// Sets the clock to its reading now moved by shift, in this process: ERROR_SUCCESS or the
// error, as setLocalTimeWithPrivilege gives it.
DWORD moveClockBy(std::chrono::milliseconds shift, const ClockCalls &calls = {});

} // namespace cronalba::windows
