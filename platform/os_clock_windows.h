#pragma once

#include "system_clock.h"

namespace cronalba {

// Sets the clock with SetLocalTime, which needs an administrator's system-time privilege.
class WindowsClock : public SystemClockBase {
public:
    ClockSetResult setTimeOfDay(QTime newTime, const QDateTime &requestedAt) override;
};

} // namespace cronalba
