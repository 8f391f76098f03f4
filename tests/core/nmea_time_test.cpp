// The time a GGA or RMC sentence gives the GPS display.
#include "nmea_time.h"

#include <gtest/gtest.h>

namespace cronalba {
namespace {

const std::optional<TimeOfDay> none;

constexpr std::optional<TimeOfDay> hms(int hours, int minutes, int seconds) {
    return TimeOfDay{hours, minutes, seconds};
}

TEST(TimeOfDayFromField, ShowsOnlyATimeOfDay) {
    const std::pair<Text, std::optional<TimeOfDay>> cases[] = {
        // clang-format off
        {u"123519", hms(12, 35, 19)},    {u"000000", hms(0, 0, 0)},    {u"235959", hms(23, 59, 59)},
        {u"5", hms(0, 0, 5)},            {u"1234", hms(0, 12, 34)},    {u".5", hms(0, 0, 1)},
        {u"123519.4", hms(12, 35, 19)},  {u"123519.5", hms(12, 35, 20)},
        {u"123519.", hms(12, 35, 19)},   {u"123519.49999", hms(12, 35, 19)},
        {u"000231.099", hms(0, 2, 31)},
        // Rounding carries into the minutes, the hours and past midnight.
        {u"123559.6", hms(12, 36, 0)},   {u"125959.5", hms(13, 0, 0)}, {u"235959.5", hms(0, 0, 0)},
        // Not a time of day: the display keeps what it shows.
        {u"", none},        {u".", none},       {u"12a519", none},  {u"126000", none},
        {u"123560", none},  {u"240000", none},  {u"1235190", none}, {u"123519.5.5", none},
        {u"-123519", none}, {u"+123519", none}, {u" 123519", none}, {u"123519.x", none},
        {u"1e5", none},     {u"12\u0663519", none},
        // clang-format on
    };
    for (const auto &[field, expected] : cases) {
        EXPECT_EQ(timeOfDayFromField(field), expected) << field.size() << " characters";
    }
}

TEST(SentenceTime, TakesTheFirstFieldOfGgaAndRmc) {
    const std::pair<Text, std::optional<TimeOfDay>> cases[] = {
        // clang-format off
        {u"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r",
         hms(12, 35, 19)},
        {u"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r", hms(12, 35, 19)},
        // Neither the talker, the checksum, the status nor the fix quality is looked at.
        {u"$INGGA,194111,,,,,0,*00\r", hms(19, 41, 11)},  {u"$XXRMC,010203,V*FF\r", hms(1, 2, 3)},
        {u"$GPRMC,010203,\r", hms(1, 2, 3)},
        // Anything else leaves the display alone.
        {u"$GPRMC,,V,,,,,,,,,,N*53\r", none},   {u"$GPGSV,3,1,11,03,03,111,00*74\r", none},
        {u"$GPGLL,4916.45,N,12311.12,W,225444,A*31\r", none},
        {u"$GPGGA,123519\r", none},          // no comma after the field
        {u"$GPgga,123519,\r", none},         // the type is case-sensitive
        {u"$$GNRMC,135817.000,A\r", none},   // the type is read at characters 4 to 6
        {u"$GPGGA\r", none}, {u"$", none}, {u"$GPRMC,126199,A\r", none},
        // clang-format on
    };
    for (const auto &[sentence, expected] : cases) {
        EXPECT_EQ(sentenceTime(sentence), expected) << sentence.size() << " characters";
    }
}

} // namespace
} // namespace cronalba
