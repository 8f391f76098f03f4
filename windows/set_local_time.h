#pragma once

// The Windows call that sets the clock, with the privilege it needs.

#include "computer_clock.h"

#include <windows.h>

namespace cronalba::windows {

// Enables the process's system-time privilege, then sets the local date and time:
// ERROR_SUCCESS, or the error of the call that failed.
DWORD setLocalTimeWithPrivilege(const SYSTEMTIME &local);

// Whether error means that the process may not hold the system-time privilege (it doesn't run
// as administrator).
bool lacksPrivilege(DWORD error);

// What an error of setting the clock means for the user: Done for ERROR_SUCCESS,
// NeedsAdministrator for want of the privilege, else Failed with the system's own words.
ClockSetResult clockResultOf(DWORD error);

} // namespace cronalba::windows
