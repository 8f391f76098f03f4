#pragma once

#include "text.h"

namespace cronalba {

// A time of day: hours 0 to 23, minutes and seconds 0 to 59. What a GPS sentence carries, what
// the GPS display holds and what the clock is set to.
struct TimeOfDay {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;

    bool operator==(const TimeOfDay &) const = default;
};

// "hh:mm:ss", two digits each, as both time displays show it: 09:05:03.
Text timeOfDayText(TimeOfDay time);

} // namespace cronalba
