#pragma once

// The Windows call that sets the clock, with the privilege it needs.

namespace cronalba::windows {

// A local date and time as the calendar shows it.
struct LocalDateTime {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

enum class SetLocalTimeOutcome {
    Done,
    NoPrivilege, // the process may not hold the system-time privilege (not run as administrator)
    Failed,
};

struct SetLocalTimeResult {
    SetLocalTimeOutcome outcome = SetLocalTimeOutcome::Failed;
    unsigned long errorCode = 0; // GetLastError() of the failing call
};

// Enables the process's system-time privilege, then sets the local date and time.
SetLocalTimeResult setLocalTimeWithPrivilege(const LocalDateTime &time);

} // namespace cronalba::windows
