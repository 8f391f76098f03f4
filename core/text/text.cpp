#include "text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace cronalba {

namespace {

bool isIgnoredSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The number at the front of text with the ignored spaces taken out, as ASCII without a
// leading "+"; empty when there is no digit.
std::string leadingNumeral(TextView text) {
    std::string numeral;
    bool signAllowed = true;
    bool pointSeen = false;
    bool digitSeen = false;
    for (const char16_t c : text) {
        if (isIgnoredSpace(c)) {
            continue;
        }
        if (signAllowed && (c == u'+' || c == u'-')) {
            if (c == u'-') {
                numeral += '-';
            }
        } else if (isDigit(c)) {
            numeral += static_cast<char>(c);
            digitSeen = true;
        } else if (c == u'.' && !pointSeen) {
            numeral += '.';
            pointSeen = true;
        } else {
            break;
        }
        signAllowed = false;
    }
    return digitSeen ? numeral : std::string{};
}

} // namespace

double leadingNumber(TextView text) {
    const std::string numeral = leadingNumeral(text);
    if (numeral.empty()) {
        return 0.0;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(numeral.data(), numeral.data() + numeral.size(),
                                              value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: an infinity when any digit before the point
        // isn't 0, else zero.
        const bool negative = numeral.front() == '-';
        const auto integerPart = std::string_view(numeral).substr(0, numeral.find('.'));
        const bool large = integerPart.find_first_not_of("-0") != std::string_view::npos;
        const double magnitude = large ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -magnitude : magnitude;
    }
    return value;
}

std::optional<std::int16_t> roundHalfEvenToInt16(double value) {
    const double rounded = std::nearbyint(value); // the default rounding mode: halves to even
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        return std::nullopt; // also NaN
    }
    return static_cast<std::int16_t>(rounded);
}

Text formatDigits(std::uint64_t value, TextView pattern) {
    std::array<char, 24> digits{};
    const char *end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    std::string_view remaining(digits.data(), static_cast<std::size_t>(end - digits.data()));
    if (remaining == "0") {
        remaining = {}; // a zero fills the pattern with its own zeros
    }

    // The pattern's zeros take the digits from the right, the last digit first.
    Text filled(pattern);
    for (std::size_t i = filled.size(); i-- > 0 && !remaining.empty();) {
        if (filled[i] == u'0') {
            filled[i] = static_cast<char16_t>(remaining.back());
            remaining.remove_suffix(1);
        }
    }
    return Text(remaining.begin(), remaining.end()) + filled;
}

Text latin1ToText(std::string_view bytes) {
    // As unsigned bytes: from 0x80 up, a char would sign-extend into another character.
    const auto *first = reinterpret_cast<const unsigned char *>(bytes.data());
    return {first, first + bytes.size()};
}

} // namespace cronalba
