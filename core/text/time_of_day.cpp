#include "time_of_day.h"

namespace cronalba {

Text timeOfDayText(TimeOfDay time) {
    return formatDigits(time.hours * 10000 + time.minutes * 100 + time.seconds, u"00:00:00");
}

} // namespace cronalba
