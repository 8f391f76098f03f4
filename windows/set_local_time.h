#pragma once

// The Windows call that sets the clock, with the privilege it needs.

#include "computer_clock.h"

#include <windows.h>

#include <functional>

namespace cronalba::windows {

// The calls that setting the clock makes, Windows' own unless a test stands in for them to see
// what Windows is asked for, which wine can't show: it moves no clock. Each reports failure in
// the last error.
struct ClockCalls {
    // OpenProcessToken of this process.
    std::function<BOOL(DWORD access, HANDLE &token)> openOwnToken = [](DWORD access,
                                                                       HANDLE &token) {
        return OpenProcessToken(GetCurrentProcess(), access, &token);
    };
    // AdjustTokenPrivileges, which sets the last error also when it succeeds.
    std::function<BOOL(HANDLE token, TOKEN_PRIVILEGES &privileges)> adjustPrivileges =
        [](HANDLE token, TOKEN_PRIVILEGES &privileges) {
            return AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        };
    std::function<BOOL(const SYSTEMTIME &local)> setLocalTime = [](const SYSTEMTIME &local) {
        return SetLocalTime(&local);
    };
};

// Enables the process's system-time privilege, then sets the local date and time:
// ERROR_SUCCESS, or the error of the call that failed.
DWORD setLocalTimeWithPrivilege(const SYSTEMTIME &local, const ClockCalls &calls = {});

// Whether error means that the process may not hold the system-time privilege (it doesn't run
// as administrator).
bool lacksPrivilege(DWORD error);

// What an error of setting the clock means for the user: Done for ERROR_SUCCESS,
// NeedsAdministrator for want of the privilege, else Failed with the system's own words.
ClockSetResult clockResultOf(DWORD error);

} // namespace cronalba::windows
