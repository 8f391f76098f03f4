#include "windows_clock.h"

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

// The calendar time of moment in zone, with its rules for that date.
SYSTEMTIME localTimeOf(Moment moment, const TIME_ZONE_INFORMATION *zone = nullptr) {
    const FILETIME file = fileTimeOf(moment);
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    FileTimeToSystemTime(&file, &utc);
    SystemTimeToTzSpecificLocalTime(zone, &utc, &local);
    return local;
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
    const SYSTEMTIME back = localTimeOf(moment, zone);
    if (back.wHour != local.wHour || back.wMinute != local.wMinute) {
        return std::nullopt;
    }
    return moment;
}

Text systemMessage(unsigned long error) {
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

ClockReading WindowsClock::now() const {
    const Moment moment = momentOf(systemTimeNow());
    const SYSTEMTIME local = localTimeOf(moment);
    return {moment, {local.wHour, local.wMinute, local.wSecond}};
}

std::optional<SYSTEMTIME> localTimeToSet(TimeOfDay newTime, Moment requestedAt, Moment now,
                                         const TIME_ZONE_INFORMATION *zone) {
    SYSTEMTIME target = localTimeOf(requestedAt, zone);
    target.wHour = static_cast<WORD>(newTime.hours);
    target.wMinute = static_cast<WORD>(newTime.minutes);
    target.wSecond = static_cast<WORD>(newTime.seconds);
    target.wMilliseconds = 0;
    const auto targetMoment = momentOfLocal(target, zone);
    if (!targetMoment) {
        return std::nullopt;
    }
    // What the clock would read now, had it been set at the click.
    return localTimeOf(now + (*targetMoment - requestedAt), zone);
}

ClockSetResult WindowsClock::setTimeOfDay(TimeOfDay newTime, Moment requestedAt) {
    const auto local = localTimeToSet(newTime, requestedAt, now().moment);
    if (!local) {
        return {ClockOutcome::TimeSkipped, {}};
    }
    const SetLocalTimeResult result = setLocalTimeWithPrivilege(*local);
    switch (result.outcome) {
    case SetLocalTimeOutcome::Done:
        return {ClockOutcome::Done, {}};
    case SetLocalTimeOutcome::NoPrivilege:
        return {ClockOutcome::NeedsAdministrator, {}};
    case SetLocalTimeOutcome::Failed:
        break;
    }
    return {ClockOutcome::Failed, systemMessage(result.errorCode)};
}

} // namespace cronalba::windows
