// The Windows front end's plain functions, run under wine by scripts/check-windows: the serial
// line a driver is handed, the local date and time the clock is set to, the change made in this
// process (through stand-ins for the calls, whose answers wine can't give) or by the elevated
// copy, the copy's argument, and the wait for it. Prints each failure and "N passed, N failed";
// the exit status is 1 when any failed.
#include "com_port.h"
#include "elevated_change.h"
#include "message_pump.h"
#include "windows_clock.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono;
int passed = 0;
int failed = 0;

void check(bool ok, const char *what, int row) {
    ok ? ++passed : ++failed;
    if (!ok) {
        std::printf("FALLO: %s (caso %d)\n", what, row);
    }
}

// Whatever a driver reported, the line is 8N1 at the speed, without flow control, with XON and
// XOFF apart (SetCommState refuses them equal) and reads going on after a framing error.
void serialLine() {
    DCB dcb{}; // every flag on, flow control by handshake, XON and XOFF equal
    std::memset(&dcb, 0xFF, sizeof dcb);
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.XonChar = dcb.XoffChar = 0x13;
    cronalba::windows::describeLine(dcb, 4800);
    check(dcb.BaudRate == 4800 && dcb.ByteSize == 8 && dcb.Parity == NOPARITY && !dcb.fParity &&
              dcb.StopBits == ONESTOPBIT && !dcb.fOutxCtsFlow && !dcb.fOutxDsrFlow && !dcb.fOutX &&
              !dcb.fInX && dcb.fRtsControl != RTS_CONTROL_HANDSHAKE &&
              dcb.fDtrControl != DTR_CONTROL_HANDSHAKE && dcb.XonChar != dcb.XoffChar &&
              !dcb.fAbortOnError,
          "4800 8N1 sin control de flujo", 1);
}

// A change to an hour away, asked for at hh:mm:ss.500, 9.5 s ago. Made here: the token opened to
// enable a privilege, the system-time one enabled, and the local time set twice (the second with
// the summer time of the new time in force). Refused here: the shift from the click to the whole
// second goes to the elevated copy, and how that ends, or why it never started, is the outcome.
void clockChange() {
    using namespace cronalba::windows;
    using cronalba::ClockOutcome;
    DWORD access = 0, refusal = ERROR_SUCCESS;
    HANDLE opened = nullptr;
    bool privilegeEnabled = false;
    TOKEN_PRIVILEGES systemTime{1, {{{}, SE_PRIVILEGE_ENABLED}}};
    LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &systemTime.Privileges[0].Luid);
    std::vector<SYSTEMTIME> set;
    std::wstring argument;
    ElevatedRun run;
    WindowsClock clock(
        [&](const std::wstring &given) {
            argument = given;
            return run;
        },
        {[&](DWORD rights, HANDLE &token) {
             access = rights;
             return (token = opened = CreateEventW(nullptr, TRUE, FALSE, nullptr)) != nullptr;
         },
         [&](HANDLE token, TOKEN_PRIVILEGES &asked) {
             privilegeEnabled =
                 token == opened && std::memcmp(&asked, &systemTime, sizeof asked) == 0;
             SetLastError(ERROR_SUCCESS);
             return TRUE;
         },
         [&](const SYSTEMTIME &local) {
             set.push_back(local);
             SetLastError(refusal);
             return refusal == ERROR_SUCCESS ? TRUE : FALSE;
         }});
    const cronalba::ClockReading reading = clock.now();
    const int hours = reading.localTime.hours < 12 ? 1 : -1;
    const cronalba::TimeOfDay newTime{reading.localTime.hours + hours, reading.localTime.minutes,
                                      reading.localTime.seconds};
    const auto click = floor<seconds>(reading.moment) - 9500ms;
    const std::wstring shift = std::to_wstring((hours * 1h + 9500ms).count());
    check(clock.setTimeOfDay(newTime, click).outcome == ClockOutcome::Done &&
              (access & TOKEN_ADJUST_PRIVILEGES) && privilegeEnabled && set.size() == 2 &&
              std::memcmp(&set.front(), &set.back(), sizeof(SYSTEMTIME)) == 0,
          "el privilegio de cambiar la hora activado, y la hora local puesta dos veces", 1);
    refusal = ERROR_PRIVILEGE_NOT_HELD;
    const struct {
        ElevatedRun run;
        ClockOutcome outcome;
        const char16_t *detailEnd;
    } cases[] = {
        {{ERROR_SUCCESS, kChangeMade}, ClockOutcome::Done, u""},
        {{ERROR_SUCCESS, kChangeNotPermitted}, ClockOutcome::NeedsAdministrator, u""},
        {{ERROR_SUCCESS, kChangeFailed | ERROR_INVALID_PARAMETER}, ClockOutcome::Failed, u" 87"},
        {{ERROR_SUCCESS, kChangeBadArgument}, ClockOutcome::Failed, u" 160"},
        {{ERROR_CANCELLED, 0}, ClockOutcome::ConsentRefused, u""},
        {{ERROR_FILE_NOT_FOUND, 0}, ClockOutcome::Failed, u" 2"},
    };
    int row = 1;
    for (const auto &c : cases) {
        run = c.run;
        const auto result = clock.setTimeOfDay(newTime, click);
        check(argument == shift && result.outcome == c.outcome &&
                  result.detail.ends_with(c.detailEnd),
              "la copia elevada, con el desplazamiento desde la pulsación", ++row);
    }
}

// The date is requestedAt's in the zone, moved on by the time since the click, across a change
// of day, month and year; a time that the change to summer time skips is not set ("-").
void timeToSet() {
    TIME_ZONE_INFORMATION utc{};
    TIME_ZONE_INFORMATION madrid{}; // UTC+1, summer time from the last Sunday of March at 2:00
    madrid.Bias = -60;
    madrid.DaylightBias = -60;
    madrid.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    madrid.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    const struct {
        const TIME_ZONE_INFORMATION *zone;
        sys_days day;
        seconds requestedAt, later;
        cronalba::TimeOfDay newTime;
        const char *set;
    } cases[] = {
        {&utc, 2026y / 12 / 31, 86398s, 5s, {23, 59, 59}, "2027-01-01 00:00:04"},
        {&utc, 2026y / 1 / 31, 36000s, 3s, {23, 59, 58}, "2026-02-01 00:00:01"},
        {&utc, 2026y / 3 / 1, 2s, 0s, {14, 35, 19}, "2026-03-01 14:35:19"},
        {&madrid, 2026y / 6 / 30, 84600s, 0s, {12, 0, 0}, "2026-07-01 12:00:00"},
        {&madrid, 2026y / 12 / 31, 82799s, 2s, {23, 59, 59}, "2027-01-01 00:00:01"},
        {&madrid, 2026y / 3 / 29, 1800s, 0s, {2, 30, 0}, "-"},
    };
    int row = 0;
    for (const auto &c : cases) {
        const cronalba::Moment requestedAt = c.day + c.requestedAt;
        const auto shift = cronalba::windows::shiftToSet(c.newTime, requestedAt, c.zone);
        char shown[32] = "-";
        if (shift) {
            const SYSTEMTIME set =
                cronalba::windows::localTimeAt(requestedAt + c.later + *shift, c.zone);
            std::snprintf(shown, sizeof shown, "%04u-%02u-%02u %02u:%02u:%02u", set.wYear,
                          set.wMonth, set.wDay, set.wHour, set.wMinute, set.wSecond);
        }
        check(std::string(shown) == c.set, "fecha y hora que se ponen", ++row);
    }
}

// The elevated copy takes one argument, whole milliseconds within 48 hours either way.
void shiftArgument() {
    const struct {
        std::vector<std::wstring> arguments;
        std::optional<milliseconds> shift;
    } cases[] = {
        // clang-format off
        {{L"3600000"}, 3600000ms}, {{L"-250"}, -250ms}, {{L"+172800000"}, 48h},
        {{L"-172800000"}, -48h}, {{L"172800001"}, {}}, {{L"99999999999999999999"}, {}},
        {{L""}, {}}, {{L"-"}, {}}, {{L"12a"}, {}}, {{L"1 000"}, {}}, {{L"5", L"6"}, {}},
        // clang-format on
    };
    int row = 0;
    for (const auto &c : cases) {
        check(cronalba::windows::shiftOf(c.arguments) == c.shift, "argumento de la copia", ++row);
    }
}

// The wait for the elevated copy goes on dispatching the window's messages: a timer's, here,
// which ends it; waited for without them, the object ends it by itself after three seconds.
HANDLE waited = nullptr;
bool timerRan = false;
void CALLBACK endWait(HWND /*window*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/) {
    timerRan = true;
    const LARGE_INTEGER now{};
    SetWaitableTimer(waited, &now, 0, nullptr, nullptr, FALSE);
}
void waitKeepsPumping() {
    cronalba::windows::WindowsCommControl comNMEA;
    cronalba::windows::MessagePump pump(comNMEA);
    waited = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    const LARGE_INTEGER threeSeconds{.QuadPart = -30'000'000};
    SetWaitableTimer(waited, &threeSeconds, 0, nullptr, nullptr, FALSE);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, endWait);
    check(pump.runUntil(waited) && timerRan, "la ventana sigue viva mientras espera", 1);
    KillTimer(nullptr, timer);
    CloseHandle(waited);
}

} // namespace

int main() {
    serialLine();
    clockChange();
    timeToSet();
    shiftArgument();
    waitKeepsPumping();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
