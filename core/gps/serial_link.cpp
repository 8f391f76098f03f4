#include "serial_link.h"

#include <limits>

namespace cronalba {

std::optional<PortSettings> portSettingsFromText(TextView speedText) {
    std::int64_t baudRate = 0;
    for (const char16_t c : speedText) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        baudRate = baudRate * 10 + (c - u'0');
        if (baudRate > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    if (baudRate == 0) {
        return std::nullopt; // also an empty text
    }
    return PortSettings{static_cast<std::int32_t>(baudRate)};
}

std::optional<std::int16_t> portNumberFromText(TextView portText) {
    return roundHalfEvenToInt16(leadingNumber(portText));
}

} // namespace cronalba
