// The Windows front end's plain functions, run under wine by scripts/check-windows: the serial
// line a driver is handed, and the local date and time the clock is set to. Prints each failure
// and "N passed, N failed"; the exit status is 1 when any failed.
#include "com_port.h"
#include "windows_clock.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

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
                  dcb.StopBits == ONESTOPBIT,
              "4800 8N1", ++row);
        check(!dcb.fOutxCtsFlow && !dcb.fOutxDsrFlow && !dcb.fDsrSensitivity && !dcb.fOutX &&
                  !dcb.fInX && dcb.fDtrControl == DTR_CONTROL_ENABLE &&
                  dcb.fRtsControl == RTS_CONTROL_ENABLE,
              "sin control de flujo", row);
        check(dcb.XonChar == 0x11 && dcb.XoffChar == 0x13 && dcb.XonLim > 0 && dcb.XoffLim > 0 &&
                  !dcb.fErrorChar && !dcb.fNull && !dcb.fAbortOnError && dcb.EofChar == 0 &&
                  dcb.ErrorChar == 0,
              "XON y XOFF distintos, sin caracteres de error ni de fin", row);
    }
}

cronalba::Moment utc(int year, unsigned month, unsigned day, int hours, int minutes, int seconds) {
    using namespace std::chrono;
    return sys_days{std::chrono::year{year} / month / day} + hours * 1h + minutes * 1min +
           seconds * 1s;
}

// The date is requestedAt's in the zone, moved on by the time since the click, across a change
// of day, month and year.
void timeToSet() {
    TIME_ZONE_INFORMATION utcZone{};
    TIME_ZONE_INFORMATION madrid{}; // UTC+1, summer time from the last Sunday of March at 2:00
    madrid.Bias = -60;
    madrid.DaylightBias = -60;
    madrid.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    madrid.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    struct Case {
        const TIME_ZONE_INFORMATION *zone;
        cronalba::Moment requestedAt;
        int secondsLater;
        cronalba::TimeOfDay newTime;
        WORD year, month, day, hour, minute, second; // month 0: no time to set
    };
    const Case cases[] = {
        {&utcZone, utc(2026, 12, 31, 23, 59, 58), 5, {23, 59, 59}, 2027, 1, 1, 0, 0, 4},
        {&utcZone, utc(2026, 1, 31, 10, 0, 0), 3, {23, 59, 58}, 2026, 2, 1, 0, 0, 1},
        {&utcZone, utc(2026, 3, 1, 0, 0, 2), 0, {14, 35, 19}, 2026, 3, 1, 14, 35, 19},
        {&madrid, utc(2026, 6, 30, 23, 30, 0), 0, {12, 0, 0}, 2026, 7, 1, 12, 0, 0},
        {&madrid, utc(2026, 12, 31, 22, 59, 59), 2, {23, 59, 59}, 2027, 1, 1, 0, 0, 1},
        {&madrid, utc(2026, 3, 29, 0, 30, 0), 0, {2, 30, 0}, 0, 0, 0, 0, 0, 0},
    };
    int row = 0;
    for (const Case &c : cases) {
        ++row;
        const auto set = cronalba::windows::localTimeToSet(
            c.newTime, c.requestedAt, c.requestedAt + std::chrono::seconds(c.secondsLater), c.zone);
        if (c.month == 0) {
            check(!set, "una hora que el cambio de horario salta no se pone", row);
            continue;
        }
        check(set && set->wYear == c.year && set->wMonth == c.month && set->wDay == c.day &&
                  set->wHour == c.hour && set->wMinute == c.minute && set->wSecond == c.second,
              "fecha y hora que se ponen", row);
    }
}

} // namespace

int main() {
    serialLine();
    timeToSet();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
