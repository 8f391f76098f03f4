#pragma once

#include "os_clock.h"

#include <chrono>
#include <memory>
#include <optional>

namespace cronalba {

// The clock of the machine the program runs on, through the right back end for the platform.
std::unique_ptr<OsClock> makeSystemClock();

// The part every back end shares: the current local date and time.
class SystemClockBase : public OsClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// How far the clock has to move so that, had it moved at requestedAt, it would have read
// newTime on requestedAt's local date then; daylight saving time as the time zone rules say.
// Nothing when newTime isn't a time of day.
std::optional<std::chrono::microseconds> clockShift(QTime newTime, const QDateTime &requestedAt);

} // namespace cronalba
