#include "set_local_time.h"

#include "owned.h"

namespace cronalba::windows {

namespace {

// Enables SE_SYSTEMTIME_NAME in the process's token; ERROR_SUCCESS or why not.
DWORD enableSystemTimePrivilege(const ClockCalls &calls) {
    HANDLE opened = nullptr;
    if (!calls.openOwnToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, opened)) {
        return GetLastError();
    }
    const OwnedHandle token(opened);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // AdjustTokenPrivileges succeeds without enabling anything when the token doesn't hold the
    // privilege; then the last error is ERROR_NOT_ALL_ASSIGNED. Either way it tells.
    LookupPrivilegeValue(nullptr, SE_SYSTEMTIME_NAME, &privileges.Privileges[0].Luid) &&
        calls.adjustPrivileges(token.get(), privileges);
    return GetLastError();
}

// The system's words for error, followed by its number.
Text systemMessage(DWORD error) {
    wchar_t *words = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&words), 0, nullptr);
    Text text = length > 0 ? Text(words, words + length) : Text();
    LocalFree(words);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
        text.pop_back();
    }
    const Text code = formatDigits(static_cast<std::int64_t>(error), u"");
    return text.empty() ? code : text + u" " + code;
}

} // namespace

DWORD setLocalTimeWithPrivilege(const SYSTEMTIME &local, const ClockCalls &calls) {
    if (const DWORD error = enableSystemTimePrivilege(calls); error != ERROR_SUCCESS) {
        return error;
    }
    // Windows converts with the daylight saving setting in force before the call; the second
    // call converts with the one of the new time, in case the change crossed over.
    for (int call = 0; call < 2; ++call) {
        if (!calls.setLocalTime(local)) {
            return GetLastError();
        }
    }
    return ERROR_SUCCESS;
}

bool lacksPrivilege(DWORD error) {
    return error == ERROR_PRIVILEGE_NOT_HELD || error == ERROR_NOT_ALL_ASSIGNED ||
           error == ERROR_ACCESS_DENIED;
}

ClockSetResult clockResultOf(DWORD error) {
    if (error == ERROR_SUCCESS) {
        return {ClockOutcome::Done, {}};
    }
    if (lacksPrivilege(error)) {
        return {ClockOutcome::NeedsAdministrator, {}};
    }
    return {ClockOutcome::Failed, systemMessage(error)};
}

} // namespace cronalba::windows
