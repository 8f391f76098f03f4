// The Windows front end's plain functions, run under wine by scripts/check-windows: the serial
// line a driver is handed, the local date and time the clock is set to, the elevated copy's
// argument and what its end means to the window, and the wait for it; and, through stand-ins
// for the calls whose answers wine can't give, the paths of Windows 7, of setting the clock in
// this process and of a driver's reads. Prints each failure and "N passed, N failed"; the exit
// status is 1 when any failed (a close that waits for a byte hangs it instead).
#include "com_port.h"
#include "elevated_change.h"
#include "message_pump.h"
#include "newer_windows.h"
#include "windows_clock.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
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

// Without the newer calls, as on Windows 7: the window's frame at the system's scale, the time
// to the clock tick.
void windows7Fallbacks() {
    using namespace cronalba::windows;
    const FunctionLookup newer = std::exchange(
        systemFunctionLookup(), [](const wchar_t *, const char *) -> FARPROC { return nullptr; });
    RECT frame{0, 0, 400, 300};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const RECT found = windowRectFor({0, 0, 400, 300}, WS_OVERLAPPEDWINDOW, 144);
    check(EqualRect(&found, &frame), "Windows 7: el marco de la ventana", 1);
    FILETIME before{};
    GetSystemTimeAsFileTime(&before);
    const FILETIME now = systemTimeNow();
    check(CompareFileTime(&now, &before) >= 0, "Windows 7: la hora del sistema", 2);
    systemFunctionLookup() = newer;
}

// Set in this process at a click at hh:mm:ss.500: the token opened with the right to enable a
// privilege, the system-time one enabled, and the local time set twice, the second with the
// summer time of the new time in force, both on the whole second asked for.
FILETIME clickTime{};
void WINAPI timeOfClick(FILETIME *now) {
    *now = clickTime;
}
void clockSetHere() {
    using namespace cronalba::windows;
    const SYSTEMTIME noonAndAHalf{2026, 6, 1, 15, 12, 0, 0, 500};
    SystemTimeToFileTime(&noonAndAHalf, &clickTime);
    const FunctionLookup real = systemFunctionLookup();
    systemFunctionLookup() = [&real](const wchar_t *module, const char *name) {
        return std::strcmp(name, "GetSystemTimePreciseAsFileTime") == 0
                   ? reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&timeOfClick))
                   : real(module, name);
    };
    DWORD access = 0;
    HANDLE opened = nullptr;
    HANDLE adjusted = nullptr;
    TOKEN_PRIVILEGES asked{1, {{{}, SE_PRIVILEGE_ENABLED}}};
    LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &asked.Privileges[0].Luid);
    const TOKEN_PRIVILEGES systemTime = std::exchange(asked, {});
    std::vector<SYSTEMTIME> set;
    WindowsClock clock(
        [](const std::wstring &) {
            return ElevatedRun{ERROR_CANCELLED, 0};
        },
        {[&](DWORD rights, HANDLE &token) {
             access = rights;
             return (token = opened = CreateEventW(nullptr, TRUE, FALSE, nullptr)) != nullptr;
         },
         [&](HANDLE token, TOKEN_PRIVILEGES &privileges) {
             adjusted = token;
             asked = privileges;
             SetLastError(ERROR_SUCCESS);
             return TRUE;
         },
         [&](const SYSTEMTIME &local) {
             set.push_back(local);
             return TRUE;
         }});
    const cronalba::ClockReading click = clock.now();
    const auto result =
        clock.setTimeOfDay({click.localTime.hours, click.localTime.minutes, 5}, click.moment);
    systemFunctionLookup() = real;
    check((access & TOKEN_ADJUST_PRIVILEGES) && adjusted == opened &&
              std::memcmp(&asked, &systemTime, sizeof asked) == 0,
          "se activa el privilegio de cambiar la hora", 1);
    check(result.outcome == cronalba::ClockOutcome::Done && set.size() == 2 &&
              std::memcmp(&set.front(), &set.back(), sizeof(SYSTEMTIME)) == 0,
          "SetLocalTime dos veces con la misma hora", 2);
    check(!set.empty() && set.front().wSecond == 5 && set.front().wMilliseconds == 0,
          "la hora puesta no tiene milisegundos", 3);
}

// The port over a named pipe, whose reads wait, end and are cancelled as a driver's, with the
// serial device's own calls stood in for: the queue is what the pipe holds, the timeouts are kept.
struct PipePort {
    std::vector<COMMTIMEOUTS> timeouts;
    bool lost = false;
    cronalba::windows::ComPort port{{
        [](HANDLE, DCB &) { return TRUE; },
        [](HANDLE, DCB &) { return TRUE; },
        [this](HANDLE, COMMTIMEOUTS &given) {
            timeouts.push_back(given);
            return TRUE;
        },
        [](HANDLE device, COMSTAT &status) {
            return PeekNamedPipe(device, nullptr, 0, nullptr, &status.cbInQue, nullptr);
        },
    }};
    HANDLE receiver;
    explicit PipePort(DWORD type)
        : receiver(CreateNamedPipeW(L"\\\\.\\pipe\\cronalba", PIPE_ACCESS_OUTBOUND, type, 1, 64, 64,
                                    0, nullptr)) {
        port.setCallback([this] { lost = !port.isOpen(); });
        port.open(L"pipe\\cronalba", {});
    }
    ~PipePort() {
        CloseHandle(receiver); // ends a waiting read first
        port.close();
    }
    void send(const char *bytes) const {
        DWORD written = 0;
        WriteFile(receiver, bytes, static_cast<DWORD>(std::strlen(bytes)), &written, nullptr);
    }
};

// A read of what is queued leaves the port waiting for the next byte; a waiting read that ends
// with nothing, as some USB drivers end it when the receiver is pulled out, is a lost line;
// closing the port takes its waiting read back, where waiting for a byte would hang.
void portReads() {
    {
        PipePort pipe(PIPE_TYPE_BYTE);
        pipe.send("$GPRMC");
        check(pipe.port.readAvailable() == "$GPRMC" && pipe.timeouts.size() == 3 &&
                  pipe.timeouts[1].ReadIntervalTimeout == MAXDWORD &&
                  pipe.timeouts[2].ReadIntervalTimeout == 0,
              "tras leer lo que espera, el puerto espera el byte siguiente", 1);
    }
    {
        PipePort pipe(PIPE_TYPE_MESSAGE);
        pipe.send("");
        WaitForSingleObject(pipe.port.notificationEvent(), 5000);
        pipe.port.onNotified();
        check(pipe.lost, "una lectura que termina vacía es la línea perdida", 2);
    }
    PipePort pipe(PIPE_TYPE_BYTE);
    const bool opened = pipe.port.isOpen();
    pipe.port.close();
    check(opened && !pipe.port.isOpen(), "cerrar con una lectura pendiente", 3);
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

// Refused in this process (wine moves no clock by more than a second), the change goes to the
// elevated copy as the shift from the click; how that copy ends, or why it never started,
// becomes the window's outcome.
void elevatedChange() {
    using cronalba::ClockOutcome;
    using namespace cronalba::windows;
    std::wstring argument;
    ElevatedRun run;
    WindowsClock clock([&](const std::wstring &given) {
        argument = given;
        return run;
    });
    // An hour away from the time shown now, asked for ten seconds ago.
    const cronalba::ClockReading reading = clock.now();
    const int hours = reading.localTime.hours < 12 ? 1 : -1;
    const cronalba::TimeOfDay newTime{reading.localTime.hours + hours, reading.localTime.minutes,
                                      reading.localTime.seconds};
    const auto fraction = round<milliseconds>(reading.moment - floor<seconds>(reading.moment));
    const std::wstring shift = std::to_wstring((hours * 1h + 10s - fraction).count());
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
    int row = 0;
    for (const auto &c : cases) {
        run = c.run;
        const auto result = clock.setTimeOfDay(newTime, reading.moment - 10s);
        check(argument == shift, "desplazamiento desde la pulsación", ++row);
        check(result.outcome == c.outcome && result.detail.ends_with(c.detailEnd),
              "resultado de la copia elevada", row);
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
    windows7Fallbacks();
    clockSetHere();
    portReads();
    timeToSet();
    shiftArgument();
    elevatedChange();
    waitKeepsPumping();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
