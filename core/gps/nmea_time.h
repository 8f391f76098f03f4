#pragma once

#include "text.h"
#include "time_of_day.h"

#include <optional>

namespace cronalba {

// The time of day that a GGA or RMC time field (hhmmss, possibly with a decimal point and
// fractions of a second) stands for, rounded to the nearest second with halves going up; the
// rounding carries into minutes, hours and past midnight. Nothing when the field isn't a time
// of day: empty, anything but digits and one point, more than six digits before the point, or
// hours over 23, minutes or seconds over 59.
// "123519" -> 12:35:19, "123559.6" -> 12:36:00, "5" -> 00:00:05, "126199" -> nothing.
std::optional<TimeOfDay> timeOfDayFromField(TextView field);

// The time that one sentence (from its "$" up to its carriage return) puts on display: its
// first field when characters 4 to 6 read GGA or RMC and that field is a time of day.
std::optional<TimeOfDay> sentenceTime(TextView strSentence);

} // namespace cronalba
