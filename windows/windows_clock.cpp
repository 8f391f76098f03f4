#include "windows_clock.h"

#include "elevated_change.h"
#include "newer_windows.h"
#include "set_local_time.h"

namespace cronalba::windows {

namespace {

using std::chrono::duration_cast;

// FILETIME counts 100-nanosecond ticks from 1601-01-01; Moment counts from 1970-01-01.
using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
constexpr Ticks kUnixEpoch{116'444'736'000'000'000};

Moment momentOf(const FILETIME &file) {
    const auto ticks =
        Ticks((static_cast<std::int64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime);
    return Moment(duration_cast<Moment::duration>(ticks - kUnixEpoch));
}

FILETIME fileTimeOf(Moment moment) {
    const auto ticks = (duration_cast<Ticks>(moment.time_since_epoch()) + kUnixEpoch).count();
    return {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

// The moment at which zone shows local; nothing when it never does (a time that the change to
// summer time skips).
std::optional<Moment> momentOfLocal(const SYSTEMTIME &local, const TIME_ZONE_INFORMATION *zone) {
    SYSTEMTIME utc{};
    FILETIME file{};
    if (!TzSpecificLocalTimeToSystemTime(zone, &local, &utc) ||
        !SystemTimeToFileTime(&utc, &file)) {
        return std::nullopt;
    }
    const Moment moment = momentOf(file);
    const SYSTEMTIME back = localTimeAt(moment, zone);
    if (back.wHour != local.wHour || back.wMinute != local.wMinute) {
        return std::nullopt;
    }
    return moment;
}

} // namespace

SYSTEMTIME localTimeAt(Moment moment, const TIME_ZONE_INFORMATION *zone) {
    const FILETIME file = fileTimeOf(moment);
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    FileTimeToSystemTime(&file, &utc);
    SystemTimeToTzSpecificLocalTime(zone, &utc, &local);
    return local;
}

ClockReading WindowsClock::now() const {
    const Moment moment = momentOf(systemTimeNow());
    const SYSTEMTIME local = localTimeAt(moment);
    return {moment, {local.wHour, local.wMinute, local.wSecond}};
}

std::optional<std::chrono::milliseconds> shiftToSet(TimeOfDay newTime, Moment requestedAt,
                                                    const TIME_ZONE_INFORMATION *zone) {
    SYSTEMTIME target = localTimeAt(requestedAt, zone);
    target.wHour = static_cast<WORD>(newTime.hours);
    target.wMinute = static_cast<WORD>(newTime.minutes);
    target.wSecond = static_cast<WORD>(newTime.seconds);
    target.wMilliseconds = 0;
    const auto targetMoment = momentOfLocal(target, zone);
    if (!targetMoment) {
        return std::nullopt;
    }
    return std::chrono::round<std::chrono::milliseconds>(*targetMoment - requestedAt);
}

DWORD moveClockBy(std::chrono::milliseconds shift, const ClockCalls &calls) {
    return setLocalTimeWithPrivilege(localTimeAt(momentOf(systemTimeNow()) + shift), calls);
}

ClockSetResult WindowsClock::setTimeOfDay(TimeOfDay newTime, Moment requestedAt) {
    // A shift from the click, so that the time until the change is made doesn't make it late.
    const auto shift = shiftToSet(newTime, requestedAt);
    if (!shift) {
        return {ClockOutcome::TimeSkipped, {}};
    }
    const ClockSetResult result = clockResultOf(moveClockBy(*shift, clockCalls));
    if (result.outcome != ClockOutcome::NeedsAdministrator) {
        return result;
    }
    // Without the right, only this change is made by an elevated copy of the program, with an
    // administrator's consent.
    const ElevatedRun run = runElevated(shiftArgument(*shift));
    if (run.startError == ERROR_CANCELLED) {
        return {ClockOutcome::ConsentRefused, {}};
    }
    return run.startError == ERROR_SUCCESS ? resultOfExitStatus(run.exitStatus)
                                           : clockResultOf(run.startError);
}

} // namespace cronalba::windows
