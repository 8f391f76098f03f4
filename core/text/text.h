#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cronalba {

// Text as the window's controls hold it: 16-bit characters.
using Text = std::u16string;
using TextView = std::u16string_view;

// An ASCII digit: the digits of numbers, times and device names are 0 to 9 only.
constexpr bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The value of the number a text begins with, once every blank, tab and line feed has been
// taken out of it: an optional sign, digits, an optional "." and more digits. A text that
// doesn't begin with a number gives 0; one too large for a double gives an infinity.
// "+2" -> 2, "12:35:19" -> 12, " 2" -> 2, "COM2" -> 0.
double leadingNumber(TextView text);

// The nearest whole number, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4), or
// nothing when it doesn't fit a 16-bit signed integer.
std::optional<std::int16_t> roundHalfEvenToInt16(double value);

// Writes the decimal digits of value right-aligned into pattern: each "0" takes one digit
// (a 0 where none is left), every other character is copied, and digits the pattern has no
// room for go in front.
// (123519, "00:00:00") -> "12:35:19"; (5, "00:00:00") -> "00:00:05"; (4800, "") -> "4800".
Text formatDigits(std::uint64_t value, TextView pattern);

// One 16-bit character per byte (Latin-1): no byte is lost, merged or replaced.
Text latin1ToText(std::string_view bytes);

} // namespace cronalba
