// The serial link's text handling (settings texts, port texts, port numbering) and the
// program's immediate end.
#include "immediate_program_end.h"
#include "serial_link.h"
#include "serial_ports.h"

#include <gtest/gtest.h>

using namespace cronalba;

namespace {

struct SettingsCase {
    const char16_t *text;
    std::optional<PortSettings> expected;
};

class SettingsTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsTest, Parses) {
    EXPECT_EQ(parsePortSettings(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsTest,
    ::testing::Values(
        SettingsCase{u"4800,n,8,1", PortSettings{4800, Parity::None, 8, StopBits::One}},
        SettingsCase{u"38400,n,8,1", PortSettings{38400, Parity::None, 8, StopBits::One}},
        SettingsCase{u"115200,E,7,2", PortSettings{115200, Parity::Even, 7, StopBits::Two}},
        SettingsCase{u"9600,o,5,1.5", PortSettings{9600, Parity::Odd, 5, StopBits::OneAndHalf}},
        SettingsCase{u"2147483647,s,6,1",
                     PortSettings{2147483647, Parity::Space, 6, StopBits::One}},
        SettingsCase{u",n,8,1", std::nullopt},           // empty speed
        SettingsCase{u"abc,n,8,1", std::nullopt},        // letters
        SettingsCase{u"48OO,n,8,1", std::nullopt},       // letters among the digits
        SettingsCase{u"0,n,8,1", std::nullopt},          // zero
        SettingsCase{u"-4800,n,8,1", std::nullopt},      // negative
        SettingsCase{u"+4800,n,8,1", std::nullopt},      // sign
        SettingsCase{u"4800 ,n,8,1", std::nullopt},      // blank after
        SettingsCase{u" 4800,n,8,1", std::nullopt},      // blank before
        SettingsCase{u"4800.5,n,8,1", std::nullopt},     // fraction
        SettingsCase{u"2147483648,n,8,1", std::nullopt}, // beyond 32 bits
        SettingsCase{u"99999999999999999999,n,8,1", std::nullopt},
        SettingsCase{u"4800,x,8,1", std::nullopt}, SettingsCase{u"4800,n,9,1", std::nullopt},
        SettingsCase{u"4800,n,4,1", std::nullopt}, SettingsCase{u"4800,n,8,3", std::nullopt},
        SettingsCase{u"4800,n,8", std::nullopt}, SettingsCase{u"4800,n,8,1,", std::nullopt},
        SettingsCase{u"4800,n,8,1,1", std::nullopt}, SettingsCase{u"", std::nullopt}));

TEST(SettingsForSpeed, KeepsTheSpeedTextAsTyped) {
    EXPECT_EQ(settingsForSpeed(u"4800"), u"4800,n,8,1");
    EXPECT_EQ(settingsForSpeed(u""), u",n,8,1");
    EXPECT_EQ(settingsForSpeed(u"4800 "), u"4800 ,n,8,1");
    EXPECT_FALSE(parsePortSettings(settingsForSpeed(u"4800 ")));
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

TEST(SerialPortNumbering, CountsTheSystemPortsInNameOrder) {
    const SerialPortNumbering numbering(
        {{"/dev/ttyUSB0", "receptor GNSS USB"}, {"/dev/ttyS0", ""}, {"/dev/ttyACM0", "u-blox"}},
        PortNaming::SystemOrder);
    EXPECT_EQ(numbering.deviceFor(1), QString("/dev/ttyACM0"));
    EXPECT_EQ(numbering.deviceFor(2), QString("/dev/ttyS0"));
    EXPECT_EQ(numbering.deviceFor(3), QString("/dev/ttyUSB0"));
    for (const int missing : {0, -1, 4, 32767, -32768}) {
        EXPECT_EQ(numbering.deviceFor(missing), std::nullopt) << missing;
    }
    EXPECT_EQ(numbering.describe(), QString("1 = /dev/ttyACM0 (u-blox)\n2 = /dev/ttyS0\n"
                                            "3 = /dev/ttyUSB0 (receptor GNSS USB)"));
}

// Port numbers follow the device names as a person reads them: the digits count as numbers.
TEST(SerialPortNumbering, CountsDigitsInDeviceNamesAsNumbers) {
    const SerialPortNumbering numbering({{"/dev/ttyUSB10", ""},
                                         {"/dev/ttyS10", ""},
                                         {"/dev/ttyUSB2", ""},
                                         {"/dev/ttyS2", ""},
                                         {"/dev/ttyACM0", ""},
                                         {"/dev/ttyS1", ""},
                                         {"/dev/ttyUSB02", ""}},
                                        PortNaming::SystemOrder);
    const QStringList expected = {"/dev/ttyACM0",  "/dev/ttyS1",   "/dev/ttyS2",   "/dev/ttyS10",
                                  "/dev/ttyUSB02", "/dev/ttyUSB2", "/dev/ttyUSB10"};
    for (int number = 1; number <= expected.size(); ++number) {
        EXPECT_EQ(numbering.deviceFor(number), expected[number - 1]) << number;
    }
}

TEST(SerialPortNumbering, ComNamesCarryTheirNumbers) {
    const SerialPortNumbering numbering(
        {{"COM10", "USB"}, {"COM3", ""}, {"COM1", "Puerto de comunicaciones"}},
        PortNaming::ComNumbers);
    EXPECT_EQ(numbering.deviceFor(2), QString("COM2")); // not listed, but may exist
    EXPECT_EQ(numbering.deviceFor(10), QString("COM10"));
    EXPECT_EQ(numbering.deviceFor(0), std::nullopt);
    EXPECT_EQ(numbering.deviceFor(-3), std::nullopt);
    EXPECT_EQ(numbering.describe(),
              QString("1 = COM1 (Puerto de comunicaciones)\n3 = COM3\n10 = COM10 (USB)"));
}

TEST(SerialPortNumbering, SaysWhenThereIsNoPort) {
    const SerialPortNumbering numbering({}, PortNaming::SystemOrder);
    EXPECT_EQ(numbering.describe(), QString::fromUtf8("No se ha encontrado ningún puerto serie."));
    EXPECT_EQ(numbering.deviceFor(0), std::nullopt);
}

} // namespace

TEST(ImmediateProgramEndDeathTest, EndsTheProcessWithTheStatus) {
    EXPECT_EXIT(ImmediateProgramEnd().endNow(3), ::testing::ExitedWithCode(3), "");
}
