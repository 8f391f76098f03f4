#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

namespace cronalba {

// What became of a request to set the clock. When refused, message tells the user in Spanish
// why and, where there is something to do about it, what.
struct ClockSetResult {
    bool done = false;
    QString message;
};

// The operating system's clock: its local date and time, and setting its local time of day.
class OsClock {
public:
    virtual ~OsClock() = default;

    virtual QDateTime now() const = 0;

    // Sets the local time of day to newTime, leaving the date as it is. requestedAt is when the
    // user asked: a back end that has to wait (for a password, say) applies the change relative
    // to that moment, so the clock ends as if it had been set then.
    virtual ClockSetResult setTimeOfDay(QTime newTime, const QDateTime &requestedAt) = 0;
};

} // namespace cronalba
