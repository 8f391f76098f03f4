#pragma once

#include "text.h"
#include "time_of_day.h"

#include <chrono>

namespace cronalba {

using Moment = std::chrono::system_clock::time_point;

// The clock as read at one moment: the moment itself, and the time of day the computer's time
// zone shows then.
struct ClockReading {
    Moment moment;
    TimeOfDay localTime;

    bool operator==(const ClockReading &) const = default;
};

// What became of a request to set the clock: done, or why not. The back ends give reasons; the
// window words them for the user.
enum class ClockOutcome {
    Done,
    TimeSkipped,        // the time doesn't exist today here (skipped by the change to summer time)
    NotPermitted,       // the system refuses this user (no root, no CAP_SYS_TIME)
    NeedsAdministrator, // Windows grants the change to administrators only
    ConsentRefused,     // the administrator's consent that Windows asked for wasn't given
    AutomaticSyncOn,    // the time service sets the clock itself and refuses changes by hand
    NotAuthorized,      // the password was refused or its request cancelled
    NoReply,            // the time service didn't answer in time
    Failed,             // anything else; detail has the system's own words
};

struct ClockSetResult {
    ClockOutcome outcome = ClockOutcome::Failed;
    Text detail; // for Failed: what the system said, as it said it

    bool operator==(const ClockSetResult &) const = default;
};

// The computer's clock: reading it, and setting its local time of day.
class ComputerClock {
public:
    virtual ~ComputerClock() = default;

    virtual ClockReading now() const = 0;

    // Sets the local time of day to newTime, leaving the date as it is. requestedAt is when the
    // user asked: a back end that has to wait (for a password, say) applies the change relative
    // to that moment, so the clock ends as if it had been set then.
    virtual ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) = 0;

    // Switches off the automatic synchronisation that refuses setTimeOfDay with AutomaticSyncOn.
    // A clock without one can't, and answers that it stays on.
    virtual ClockSetResult switchOffAutomaticTime() { return {ClockOutcome::AutomaticSyncOn, {}}; }
};

} // namespace cronalba
