// The serial link's texts: settings, port numbers, and the numbering of the system's ports.
#include "serial_link.h"
#include "serial_ports.h"

#include <gtest/gtest.h>

using namespace cronalba;

namespace {

// The settings a connect makes from the speed as typed: the speed as decimal digits only, from
// 1 up, within 32 bits, at 8 data bits, no parity and 1 stop bit.
TEST(PortSettings, ComeFromTheSpeedAsTyped) {
    const std::vector<std::pair<const char16_t *, std::optional<std::int32_t>>> cases = {
        {u"4800", 4800},
        {u"38400", 38400},
        {u"2147483647", 2147483647},
        {u"", {}},
        {u"abc", {}},
        {u"48OO", {}},
        {u"0", {}},
        {u"-4800", {}},
        {u"+4800", {}},
        {u"4800 ", {}},
        {u" 4800", {}},
        {u"4800.5", {}},
        {u"2147483648", {}},
        {u"99999999999999999999", {}},
        {u"4800,n,8,1", {}},
    };
    for (const auto &[typed, speed] : cases) {
        const Text settings = settingsForSpeed(typed);
        EXPECT_EQ(settings, Text(typed) + u",n,8,1");
        const auto parsed = parsePortSettings(settings);
        EXPECT_EQ(parsed ? std::optional(parsed->baudRate) : std::nullopt, speed)
            << settings.size();
        if (parsed) {
            EXPECT_EQ(*parsed, (PortSettings{*speed, Parity::None, 8, StopBits::One}));
        }
    }
}

TEST(PortSettings, ReadEveryFieldStrictly) {
    EXPECT_EQ(parsePortSettings(u"115200,E,7,2"),
              (PortSettings{115200, Parity::Even, 7, StopBits::Two}));
    EXPECT_EQ(parsePortSettings(u"9600,o,5,1.5"),
              (PortSettings{9600, Parity::Odd, 5, StopBits::OneAndHalf}));
    for (const char16_t *text : {u"4800,x,8,1", u"4800,n,9,1", u"4800,n,4,1", u"4800,n,8,3",
                                 u"4800,n,8", u"4800,n,8,1,"}) {
        EXPECT_EQ(parsePortSettings(text), std::nullopt) << Text(text).size();
    }
}

TEST(PortNumberFromText, LeadingNumberRoundedHalfToEven) {
    const std::vector<std::pair<const char16_t *, std::optional<std::int16_t>>> cases = {
        {u"1", 1},         {u" 2", 2},  {u"2.5", 2},       {u"3.5", 4},      {u"COM2", 0},
        {u"", 0},          {u"-1", -1}, {u"32767", 32767}, {u"32767.5", {}}, {u"-32768", -32768},
        {u"-32768.6", {}}, {u"1e9", 1}, {u"99999999", {}},
    };
    for (const auto &[text, expected] : cases) {
        EXPECT_EQ(portNumberFromText(text), expected) << std::u16string(text).size();
    }
}

std::vector<Text> devicesOf(const SerialPortNumbering &numbering) {
    std::vector<Text> devices;
    for (const NumberedPort &port : numbering.ports()) {
        EXPECT_EQ(numbering.deviceFor(port.number), port.device);
        devices.push_back(port.device);
    }
    return devices;
}

// Port numbers follow the device names as a person reads them: the digits count as numbers.
TEST(SerialPortNumbering, CountsTheSystemPortsInReadingOrder) {
    const SerialPortNumbering numbering({{u"/dev/ttyUSB10", u""},
                                         {u"/dev/ttyS10", u""},
                                         {u"/dev/ttyUSB2", u"receptor GNSS USB"},
                                         {u"/dev/ttyS2", u""},
                                         {u"/dev/ttyACM0", u"u-blox"},
                                         {u"/dev/ttyS1", u""},
                                         {u"/dev/ttyUSB02", u""}},
                                        PortNaming::SystemOrder);
    EXPECT_EQ(devicesOf(numbering),
              (std::vector<Text>{u"/dev/ttyACM0", u"/dev/ttyS1", u"/dev/ttyS2", u"/dev/ttyS10",
                                 u"/dev/ttyUSB02", u"/dev/ttyUSB2", u"/dev/ttyUSB10"}));
    EXPECT_EQ(numbering.ports()[5].number, 6);
    EXPECT_EQ(numbering.ports()[5].description, u"receptor GNSS USB");
    for (const int missing : {0, -1, 8, 32767, -32768}) {
        EXPECT_EQ(numbering.deviceFor(missing), std::nullopt) << missing;
    }
}

TEST(SerialPortNumbering, ComNamesCarryTheirNumbers) {
    const SerialPortNumbering numbering({{u"COM10", u"USB"},
                                         {u"COM3", u""},
                                         {u"COM1", u"Puerto de comunicaciones"},
                                         {u"LPT1", u""}},
                                        PortNaming::ComNumbers);
    EXPECT_EQ(devicesOf(numbering), (std::vector<Text>{u"COM1", u"COM3", u"COM10"}));
    EXPECT_EQ(numbering.ports()[2].number, 10);
    EXPECT_EQ(numbering.deviceFor(2), Text(u"COM2")); // not listed, but may exist
    EXPECT_EQ(numbering.deviceFor(0), std::nullopt);
    EXPECT_EQ(numbering.deviceFor(-3), std::nullopt);
}

} // namespace
