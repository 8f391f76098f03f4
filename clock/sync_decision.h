#pragma once

#include "text.h"

#include <optional>

namespace cronalba {

// A time of day the clock can be set to: hours 0 to 23, minutes and seconds 0 to 59.
struct TimeOfDay {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

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

// Tells the user in Spanish why the clock was left alone, and what to do about it.
Text notSetMessage(SyncVerdict verdict);

} // namespace cronalba
