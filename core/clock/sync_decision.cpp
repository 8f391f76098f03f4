#include "sync_decision.h"

#include <cmath>

namespace cronalba {

SyncDecision decideSync(std::optional<TimeOfDay> gpsTime, TextView offsetText) {
    if (!gpsTime) {
        return {SyncVerdict::NoGpsTime, {}};
    }
    // The hour is the plain sum, rounded half away from zero, and no day is carried: a sum
    // below 0 or from 24 on (an infinite difference too) is no time of day.
    const double hours = std::round(gpsTime->hours + leadingNumber(offsetText));
    if (!(hours >= 0 && hours <= 23)) {
        return {SyncVerdict::OutsideDay, {}};
    }
    return {SyncVerdict::Set, {static_cast<int>(hours), gpsTime->minutes, gpsTime->seconds}};
}

} // namespace cronalba
