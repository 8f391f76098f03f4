#include "elevated_change.h"

#include "owned.h"
#include "set_local_time.h"

#include <shellapi.h>

#include <algorithm>

namespace cronalba::windows {

namespace {

// The full path of this program's file.
std::wstring ownPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2); // cut short: try again with room for more
    }
}

} // namespace

std::wstring shiftArgument(std::chrono::milliseconds shift) {
    return std::to_wstring(shift.count());
}

std::optional<std::chrono::milliseconds> shiftOf(const std::vector<std::wstring> &arguments) {
    if (arguments.size() != 1) {
        return std::nullopt;
    }
    std::wstring_view digits = arguments.front();
    const bool negative = digits.starts_with(L'-');
    if (negative || digits.starts_with(L'+')) {
        digits.remove_prefix(1);
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    std::chrono::milliseconds::rep value = 0;
    for (const wchar_t digit : digits) {
        if (digit < L'0' || digit > L'9') {
            return std::nullopt;
        }
        value = value * 10 + (digit - L'0');
        // Stopping here also keeps the value from overflowing.
        if (value > kLongestShift.count()) {
            return std::nullopt;
        }
    }
    return std::chrono::milliseconds(negative ? -value : value);
}

DWORD exitStatusOf(DWORD error) {
    if (error == ERROR_SUCCESS) {
        return kChangeMade;
    }
    return lacksPrivilege(error) ? kChangeNotPermitted : kChangeFailed | error;
}

ClockSetResult resultOfExitStatus(DWORD status) {
    if (status == kChangeNotPermitted) {
        return {ClockOutcome::NeedsAdministrator, {}};
    }
    if (status == kChangeBadArgument) {
        return clockResultOf(ERROR_BAD_ARGUMENTS);
    }
    // An error code in a failure's status; any other status (an exception's) as it is.
    const bool failure = (status & ~DWORD{0xFFFF}) == kChangeFailed;
    return clockResultOf(failure ? status & 0xFFFF : status);
}

std::vector<std::wstring> commandLineArguments() {
    int count = 0;
    const Owned<LPWSTR *, &LocalFree> split(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!split) {
        return {};
    }
    return {split.get() + std::min(count, 1), split.get() + count};
}

DWORD makeElevatedChange(const std::vector<std::wstring> &arguments) {
    const auto shift = shiftOf(arguments);
    return shift ? exitStatusOf(moveClockBy(*shift)) : kChangeBadArgument;
}

ElevatedRun runElevated(const std::wstring &argument, MessagePump &pump) {
    const std::wstring program = ownPath();
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    start.hwnd = GetActiveWindow(); // the consent dialog's owner, in front of it
    start.lpVerb = L"runas";
    start.lpFile = program.c_str();
    start.lpParameters = argument.c_str();
    start.nShow = SW_HIDE;
    if (!ShellExecuteExW(&start)) {
        return {GetLastError(), 0};
    }
    const OwnedHandle process(start.hProcess);
    // Should the window close meanwhile, the change still goes on, and its end is awaited.
    if (!pump.runUntil(process.get())) {
        WaitForSingleObject(process.get(), INFINITE);
    }
    DWORD status = 0;
    GetExitCodeProcess(process.get(), &status);
    return {ERROR_SUCCESS, status};
}

} // namespace cronalba::windows
