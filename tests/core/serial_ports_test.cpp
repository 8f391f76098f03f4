// The serial link's texts: the bytes read, the settings, port numbers, and the numbering of the
// system's ports.
#include "serial_link.h"
#include "serial_ports.h"

#include <gtest/gtest.h>

using namespace cronalba;

namespace {

TEST(Latin1ToText, EveryByteBecomesOneCharacterOfTheSameCode) {
    EXPECT_EQ(latin1ToText(std::string_view("$\0\xB0\xFF", 4)), Text(u"$\0\u00B0\u00FF", 4));
}

// The settings a connect makes from the speed as typed: the speed as decimal digits only, from
// 1 up, within 32 bits.
TEST(PortSettings, ComeFromTheSpeedAsTyped) {
    const std::pair<const char16_t *, std::optional<PortSettings>> cases[] = {
        // clang-format off
        {u"4800", {{4800}}},  {u"2147483647", {{2147483647}}},  {u"", {}},  {u"48OO", {}},
        {u"0", {}},  {u"+4800", {}},  {u" 4800", {}},  {u"2147483648", {}},  {u"4800,n,8,1", {}},
        {u"99999999999999999999", {}},
        // clang-format on
    };
    for (const auto &[typed, settings] : cases) {
        EXPECT_EQ(portSettingsFromText(typed), settings) << Text(typed).size();
    }
}

// The port number is the number the text begins with, rounded half to even, within 16 bits.
TEST(PortNumberFromText, LeadingNumberRoundedHalfToEven) {
    const std::pair<const char16_t *, std::optional<std::int16_t>> cases[] = {
        // clang-format off
        {u"1", 1},       {u" 2", 2},     {u"2.5", 2},       {u"3.5", 4},       {u"-2.5", -2},
        {u"2.5001", 3},  {u"COM2", 0},   {u"", 0},          {u"-1", -1},       {u"1e9", 1},
        {u"32767", 32767},  {u"32767.5", {}},  {u"-32768", -32768},  {u"-32768.6", {}},
        {u"99999999", {}},
        // clang-format on
    };
    for (const auto &[text, expected] : cases) {
        EXPECT_EQ(portNumberFromText(text), expected) << Text(text).size();
    }
}

// On Linux, port n is the n-th system port with the digits in device names read as numbers; on
// Windows, port n is COMn, listed or not.
TEST(SerialPortNumbering, GivesEachPortNumberItsDevice) {
    const SerialPortNumbering onLinux({{u"/dev/ttyUSB10", u""},
                                       {u"/dev/ttyS10", u""},
                                       {u"/dev/ttyUSB2", u"receptor GNSS"},
                                       {u"/dev/ttyS2", u""},
                                       {u"/dev/ttyACM0", u""},
                                       {u"/dev/ttyS1", u""},
                                       {u"/dev/ttyUSB02", u""}},
                                      PortNaming::SystemOrder);
    const SerialPortNumbering onWindows({{u"COM10", u""}, {u"COM3", u""}, {u"LPT1", u""}},
                                        PortNaming::ComNumbers);
    const std::tuple<const SerialPortNumbering &, int, std::optional<Text>> cases[] = {
        // clang-format off
        {onLinux, 1, u"/dev/ttyACM0"},  {onLinux, 2, u"/dev/ttyS1"},   {onLinux, 3, u"/dev/ttyS2"},
        {onLinux, 4, u"/dev/ttyS10"},   {onLinux, 5, u"/dev/ttyUSB02"},
        {onLinux, 6, u"/dev/ttyUSB2"},  {onLinux, 7, u"/dev/ttyUSB10"},
        {onLinux, 0, {}},  {onLinux, 8, {}},  {onLinux, -1, {}},  {onLinux, 32767, {}},
        {onWindows, 10, u"COM10"}, {onWindows, 2, u"COM2"}, {onWindows, 0, {}}, {onWindows, -3, {}},
        // clang-format on
    };
    for (const auto &[numbering, number, device] : cases) {
        EXPECT_EQ(numbering.deviceFor(number), device) << number;
    }
    EXPECT_EQ(onLinux.ports()[5], (NumberedPort{6, u"/dev/ttyUSB2", u"receptor GNSS"}));
    EXPECT_EQ(onWindows.ports().size(), 2U);
}

} // namespace
