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

// The new time: the GPS hour (the leading number of the display's first two characters) plus
// the difference (the leading number of offsetText), rounded half away from zero and written
// with at least two digits and a minus sign when negative, then the display from its third
// character on. Nothing when that hour is too large to be written (an infinite difference).
// ("12:35:19", "+2") -> "14:35:19"; ("12:35:19", "-15") -> "-03:35:19"; ("", "+2") -> "02".
std::optional<Text> newTimeText(TextView gpsDisplay, TextView offsetText);

// Whether and to what the clock is to be set from the GPS display and the difference text.
SyncDecision decideSync(TextView gpsDisplay, TextView offsetText);

} // namespace cronalba
