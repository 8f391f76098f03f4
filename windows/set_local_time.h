#pragma once

// The Windows call that sets the clock, with the privilege it needs.

#include <windows.h>

namespace cronalba::windows {

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
SetLocalTimeResult setLocalTimeWithPrivilege(const SYSTEMTIME &local);

} // namespace cronalba::windows
