// The Windows front end's plain functions, run under wine by scripts/check-windows: the serial
// line a driver is handed, and the local date and time the clock is set to. Prints each failure
// and "N passed, N failed"; the exit status is 1 when any failed.
#include "com_port.h"
#include "windows_clock.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

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

// Whatever a driver reported, the line is 8N1 at the speed, without flow control, and valid.
void serialLine() {
    DCB odd{}; // every flag on, every character 0xFF
    std::memset(&odd, 0xFF, sizeof odd);
    DCB equalXonXoff{}; // both 0, flow control asked for
    equalXonXoff.fOutX = TRUE;
    equalXonXoff.fRtsControl = RTS_CONTROL_HANDSHAKE;
    int row = 0;
    for (DCB dcb : {DCB{}, odd, equalXonXoff}) {
        cronalba::windows::describeLine(dcb, 4800);
        check(dcb.DCBlength == sizeof dcb && dcb.BaudRate == 4800 && dcb.fBinary &&
                  dcb.ByteSize == 8 && dcb.Parity == NOPARITY && !dcb.fParity &&
                  dcb.StopBits == ONESTOPBIT && !dcb.fOutxCtsFlow && !dcb.fOutxDsrFlow &&
                  !dcb.fDsrSensitivity && !dcb.fOutX && !dcb.fInX &&
                  dcb.fDtrControl == DTR_CONTROL_ENABLE && dcb.fRtsControl == RTS_CONTROL_ENABLE,
              "4800 8N1 sin control de flujo", ++row);
        check(dcb.XonChar == 0x11 && dcb.XoffChar == 0x13 && dcb.XonLim > 0 && dcb.XoffLim > 0 &&
                  !dcb.fErrorChar && !dcb.fNull && !dcb.fAbortOnError && dcb.EofChar == 0 &&
                  dcb.ErrorChar == 0,
              "XON y XOFF distintos, sin caracteres de error ni de fin", row);
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
        const auto set = cronalba::windows::localTimeToSet(c.newTime, requestedAt,
                                                           requestedAt + c.later, c.zone);
        char shown[32] = "-";
        if (set) {
            std::snprintf(shown, sizeof shown, "%04u-%02u-%02u %02u:%02u:%02u", set->wYear,
                          set->wMonth, set->wDay, set->wHour, set->wMinute, set->wSecond);
        }
        check(std::string(shown) == c.set, "fecha y hora que se ponen", ++row);
    }
}

} // namespace

int main() {
    serialLine();
    timeToSet();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
