#include "serial_link.h"

#include <algorithm>
#include <array>
#include <limits>

namespace cronalba {

namespace {

constexpr std::size_t kSettingsFields = 4;

// The four comma-separated fields, or nothing when there aren't exactly four.
std::optional<std::array<TextView, kSettingsFields>> splitSettings(TextView settings) {
    std::array<TextView, kSettingsFields> fields;
    std::size_t count = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = settings.find(u',', start);
        if (count == kSettingsFields) {
            return std::nullopt;
        }
        fields[count++] = settings.substr(start, comma - start);
        if (comma == TextView::npos) {
            break;
        }
        start = comma + 1;
    }
    if (count != kSettingsFields) {
        return std::nullopt;
    }
    return fields;
}

std::optional<std::int32_t> parseBaudRate(TextView text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), isDigit)) {
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

std::optional<Parity> parseParity(TextView text) {
    if (text.size() != 1) {
        return std::nullopt;
    }
    switch (text.front()) {
    case u'n':
    case u'N':
        return Parity::None;
    case u'e':
    case u'E':
        return Parity::Even;
    case u'o':
    case u'O':
        return Parity::Odd;
    case u'm':
    case u'M':
        return Parity::Mark;
    case u's':
    case u'S':
        return Parity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<int> parseDataBits(TextView text) {
    if (text.size() != 1 || text.front() < u'5' || text.front() > u'8') {
        return std::nullopt;
    }
    return text.front() - u'0';
}

std::optional<StopBits> parseStopBits(TextView text) {
    if (text == u"1") {
        return StopBits::One;
    }
    if (text == u"1.5") {
        return StopBits::OneAndHalf;
    }
    if (text == u"2") {
        return StopBits::Two;
    }
    return std::nullopt;
}

} // namespace

Text settingsForSpeed(TextView speedText) {
    return Text(speedText) + u",n,8,1";
}

std::optional<PortSettings> parsePortSettings(TextView settings) {
    const auto fields = splitSettings(settings);
    if (!fields) {
        return std::nullopt;
    }
    const auto baudRate = parseBaudRate((*fields)[0]);
    const auto parity = parseParity((*fields)[1]);
    const auto dataBits = parseDataBits((*fields)[2]);
    const auto stopBits = parseStopBits((*fields)[3]);
    if (!baudRate || !parity || !dataBits || !stopBits) {
        return std::nullopt;
    }
    return PortSettings{*baudRate, *parity, *dataBits, *stopBits};
}

std::optional<std::int16_t> portNumberFromText(TextView portText) {
    return roundHalfEvenToInt16(leadingNumber(portText));
}

} // namespace cronalba
