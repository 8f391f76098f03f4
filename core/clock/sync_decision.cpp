#include "sync_decision.h"

#include <cmath>
#include <cstdint>

namespace cronalba {

namespace {

constexpr TextView hourPattern = u"00";

// The two-digit number at position in text, or nothing when either character isn't a digit.
std::optional<int> twoDigits(TextView text, std::size_t position) {
    const auto digit = [&](std::size_t at) -> std::optional<int> {
        const char16_t c = text[at];
        return c >= u'0' && c <= u'9' ? std::optional<int>(c - u'0') : std::nullopt;
    };
    const auto tens = digit(position);
    const auto units = digit(position + 1);
    if (!tens || !units) {
        return std::nullopt;
    }
    return *tens * 10 + *units;
}

// The time of day that text holds in the form hh:mm:ss, or nothing.
std::optional<TimeOfDay> parseTimeOfDay(TextView text) {
    if (text.size() != 8 || text[2] != u':' || text[5] != u':') {
        return std::nullopt;
    }
    const auto hours = twoDigits(text, 0);
    const auto minutes = twoDigits(text, 3);
    const auto seconds = twoDigits(text, 6);
    if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 59) {
        return std::nullopt;
    }
    return TimeOfDay{*hours, *minutes, *seconds};
}

// The new time: the GPS hour (the leading number of the display's first two characters) plus
// the difference (the leading number of offsetText), rounded half away from zero and written
// with at least two digits and a minus sign when negative, then the display from its third
// character on. Nothing when that hour is too large to be written (an infinite difference).
// ("12:35:19", "+2") -> "14:35:19"; ("12:35:19", "-15") -> "-03:35:19"; ("", "+2") -> "02".
std::optional<Text> newTimeText(TextView gpsDisplay, TextView offsetText) {
    const double gpsHours = leadingNumber(gpsDisplay.substr(0, 2));
    const double difference = leadingNumber(offsetText);
    const double hours = roundHalfAwayFromZero(gpsHours + difference);
    // Beyond 2^63 (or infinite) the hour has no 64-bit value to write; the conversion below
    // would be undefined.
    constexpr double int64Limit = 0x1p63;
    if (!(std::abs(hours) < int64Limit)) {
        return std::nullopt;
    }
    Text text = formatDigits(static_cast<std::int64_t>(hours), hourPattern);
    if (gpsDisplay.size() > 2) {
        text += gpsDisplay.substr(2);
    }
    return text;
}

} // namespace

SyncDecision decideSync(TextView gpsDisplay, TextView offsetText) {
    // Only a time that reached the display counts; a blank or anything else means none did.
    if (!parseTimeOfDay(gpsDisplay)) {
        return {SyncVerdict::NoGpsTime, {}};
    }
    const auto newTime = newTimeText(gpsDisplay, offsetText);
    const auto time = newTime ? parseTimeOfDay(*newTime) : std::nullopt;
    if (!time) {
        return {SyncVerdict::OutsideDay, {}};
    }
    return {SyncVerdict::Set, *time};
}

} // namespace cronalba
