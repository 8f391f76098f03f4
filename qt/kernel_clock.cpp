#include "kernel_clock.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <utility>

namespace cronalba {

timespec shiftedTime(timespec current, std::chrono::microseconds shift) {
    using namespace std::chrono;
    const auto target = seconds(current.tv_sec) + nanoseconds(current.tv_nsec) + shift;
    const auto wholeSeconds = floor<seconds>(target);
    timespec shifted{};
    shifted.tv_sec = static_cast<time_t>(wholeSeconds.count());
    shifted.tv_nsec = static_cast<long>((target - wholeSeconds).count());
    return shifted;
}

int shiftRealtimeClock(std::chrono::microseconds shift) {
    timespec current{};
    if (clock_gettime(CLOCK_REALTIME, &current) != 0) {
        return errno;
    }
    const timespec wanted = shiftedTime(current, shift);
    return clock_settime(CLOCK_REALTIME, &wanted) == 0 ? 0 : errno;
}

KernelClock::KernelClock(ClockShifter shifter)
    : m_shifter(std::move(shifter)) {}

ClockSetResult KernelClock::setTimeOfDay(TimeOfDay newTime, Moment requestedAt) {
    const auto shift = clockShift(newTime, requestedAt);
    if (!shift) {
        return {ClockOutcome::TimeSkipped, {}};
    }
    // Relative like the time service's change: the moments since the click don't count.
    const int error = m_shifter(*shift);
    if (error == EPERM) {
        return {ClockOutcome::NotPermitted, {}};
    }
    if (error != 0) {
        return {ClockOutcome::Failed,
                QString::fromLocal8Bit(std::strerror(error)).toStdU16String()};
    }
    return {ClockOutcome::Done, {}};
}

} // namespace cronalba
