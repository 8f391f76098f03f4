#pragma once

#include "text.h"
#include "time_of_day.h"

#include <optional>

namespace cronalba {

enum class SyncVerdict {
    Set,        // the new time is a time of day: set the clock to it
    NoGpsTime,  // the GPS display holds no time (nothing received since the connect)
    OutsideDay, // the GPS hour plus the difference is below 0 or 24 and more
};

// What a click on "Sincronizar Hora" should do. Making it touches no clock.
struct SyncDecision {
    SyncVerdict verdict = SyncVerdict::NoGpsTime;
    TimeOfDay time; // only meaningful when verdict is Set
};

// Whether and to what the clock is to be set from the time on the GPS display, if any, and
// the difference text: the GPS time with the difference's leading number added to its hour.
SyncDecision decideSync(std::optional<TimeOfDay> gpsTime, TextView offsetText);

} // namespace cronalba
