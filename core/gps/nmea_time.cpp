#include "nmea_time.h"

namespace cronalba {

namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;
constexpr std::size_t kMaxWholeDigits = 6;

} // namespace

std::optional<TimeOfDay> timeOfDayFromField(TextView field) {
    const std::size_t point = field.find(u'.');
    const TextView whole = field.substr(0, point);
    const TextView fraction = point == TextView::npos ? TextView{} : field.substr(point + 1);

    if (whole.size() > kMaxWholeDigits || (whole.empty() && fraction.empty())) {
        return std::nullopt;
    }
    int hhmmss = 0;
    for (const char16_t c : whole) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        hhmmss = hhmmss * 10 + (c - u'0');
    }
    for (const char16_t c : fraction) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
    }

    const int hours = hhmmss / 10000;
    const int minutes = hhmmss / 100 % 100;
    const int seconds = hhmmss % 100;
    if (hours > 23 || minutes > 59 || seconds > 59) {
        return std::nullopt;
    }
    // Half a second or more rounds up; the first decimal decides.
    const bool roundsUp = !fraction.empty() && fraction.front() >= u'5';
    const int daySeconds =
        (hours * 3600 + minutes * 60 + seconds + (roundsUp ? 1 : 0)) % kSecondsPerDay;
    return TimeOfDay{daySeconds / 3600, daySeconds / 60 % 60, daySeconds % 60};
}

std::optional<TimeOfDay> sentenceTime(TextView strSentence) {
    // "$", the talker in characters 2 and 3, the type in 4 to 6, a comma, then the first field.
    constexpr std::size_t kTypeStart = 3;
    constexpr std::size_t kFieldStart = 7;
    if (strSentence.size() <= kFieldStart) {
        return std::nullopt;
    }
    const TextView type = strSentence.substr(kTypeStart, 3);
    if (type != u"GGA" && type != u"RMC") {
        return std::nullopt;
    }
    const std::size_t comma = strSentence.find(u',', kFieldStart);
    if (comma == TextView::npos || comma == kFieldStart) {
        return std::nullopt; // no comma after the field, or an empty field
    }
    return timeOfDayFromField(strSentence.substr(kFieldStart, comma - kFieldStart));
}

} // namespace cronalba
