#include "set_local_time.h"

#include "owned.h"

namespace cronalba::windows {

namespace {

bool lacksPrivilege(DWORD error) {
    return error == ERROR_PRIVILEGE_NOT_HELD || error == ERROR_NOT_ALL_ASSIGNED ||
           error == ERROR_ACCESS_DENIED;
}

SetLocalTimeResult failure(DWORD error) {
    return {lacksPrivilege(error) ? SetLocalTimeOutcome::NoPrivilege : SetLocalTimeOutcome::Failed,
            error};
}

// Enables SE_SYSTEMTIME_NAME in the process's token; ERROR_SUCCESS or why not.
DWORD enableSystemTimePrivilege() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) {
        return GetLastError();
    }
    const OwnedHandle token(opened);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // AdjustTokenPrivileges succeeds without enabling anything when the token doesn't hold the
    // privilege; then the last error is ERROR_NOT_ALL_ASSIGNED. Either way it tells.
    LookupPrivilegeValue(nullptr, SE_SYSTEMTIME_NAME, &privileges.Privileges[0].Luid) &&
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    return GetLastError();
}

} // namespace

SetLocalTimeResult setLocalTimeWithPrivilege(const SYSTEMTIME &local) {
    if (const DWORD error = enableSystemTimePrivilege(); error != ERROR_SUCCESS) {
        return failure(error);
    }
    // Windows converts with the daylight saving setting in force before the call; the second
    // call converts with the one of the new time, in case the change crossed over.
    for (int call = 0; call < 2; ++call) {
        if (!SetLocalTime(&local)) {
            return failure(GetLastError());
        }
    }
    return {SetLocalTimeOutcome::Done, ERROR_SUCCESS};
}

} // namespace cronalba::windows
