#include "system_clock.h"

#include "timedated_clock.h"

#include <QDBusConnection>
#include <QDateTime>

namespace cronalba {

namespace {

using std::chrono::duration_cast;
using std::chrono::microseconds;
using std::chrono::milliseconds;

QDateTime localDateTime(Moment moment) {
    return QDateTime::fromMSecsSinceEpoch(
        duration_cast<milliseconds>(moment.time_since_epoch()).count(), Qt::LocalTime);
}

} // namespace

std::unique_ptr<ComputerClock> makeSystemClock() {
    return std::make_unique<TimedatedClock>(&QDBusConnection::systemBus);
}

ClockReading SystemClockBase::now() const {
    const Moment moment = std::chrono::system_clock::now();
    const QTime local = localDateTime(moment).time();
    return {moment, {local.hour(), local.minute(), local.second()}};
}

std::optional<microseconds> clockShift(TimeOfDay newTime, Moment requestedAt) {
    const QTime time(newTime.hours, newTime.minutes, newTime.seconds);
    const QDateTime target(localDateTime(requestedAt).date(), time, Qt::LocalTime);
    // A local time that the change to summer time skips has no moment.
    if (!time.isValid() || !target.isValid() || target.time() != time) {
        return std::nullopt;
    }
    return milliseconds(target.toMSecsSinceEpoch()) -
           duration_cast<microseconds>(requestedAt.time_since_epoch());
}

} // namespace cronalba
