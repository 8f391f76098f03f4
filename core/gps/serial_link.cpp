#include "serial_link.h"

#include <algorithm>
#include <limits>

namespace cronalba {

namespace {

// What follows the speed in every settings text: no parity, 8 data bits, 1 stop bit.
constexpr TextView kFraming = u",n,8,1";

std::optional<std::int32_t> parseBaudRate(TextView text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char16_t digit : text) {
        value = value * 10 + (digit - u'0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    if (value == 0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

Text settingsForSpeed(TextView speedText) {
    return Text(speedText).append(kFraming);
}

std::optional<PortSettings> parsePortSettings(TextView settings) {
    if (!settings.ends_with(kFraming)) {
        return std::nullopt;
    }
    const auto baudRate = parseBaudRate(settings.substr(0, settings.size() - kFraming.size()));
    return baudRate ? std::optional(PortSettings{*baudRate}) : std::nullopt;
}

std::optional<std::int16_t> portNumberFromText(TextView portText) {
    return roundHalfEvenToInt16(leadingNumber(portText));
}

} // namespace cronalba
