#pragma once

#include "computer_clock.h"
#include "text.h"

#include <optional>

namespace cronalba {

enum class SyncVerdict {
    Set,        // the new time is a time of day: set the clock to it
    NoGpsTime,  // the GPS display holds no hh:mm:ss time (nothing received yet)
    OutsideDay, // the GPS hour plus the difference is below 0 or 24 and more
};

// What a click on "Sincronizar Hora" should do. Making it touches no clock.
struct SyncDecision {
    SyncVerdict verdict = SyncVerdict::NoGpsTime;
    TimeOfDay time; // only meaningful when verdict is Set
};

// Whether and to what the clock is to be set from the GPS display and the difference text.
SyncDecision decideSync(TextView gpsDisplay, TextView offsetText);

} // namespace cronalba
