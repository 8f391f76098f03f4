#include "nmea_time.h"

#include <gtest/gtest.h>

namespace cronalba {
namespace {

struct FieldCase {
    Text field;
    std::optional<Text> expected;
};

class TimeField : public testing::TestWithParam<FieldCase> {};

TEST_P(TimeField, ShowsOnlyATimeOfDay) {
    EXPECT_EQ(timeOfDayFromField(GetParam().field), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TimeField,
    testing::Values(FieldCase{u"123519", u"12:35:19"}, FieldCase{u"000000", u"00:00:00"},
                    FieldCase{u"235959", u"23:59:59"}, FieldCase{u"5", u"00:00:05"},
                    FieldCase{u"1234", u"00:12:34"}, FieldCase{u"123519.4", u"12:35:19"},
                    FieldCase{u"123519.6", u"12:35:20"}, FieldCase{u"123519.5", u"12:35:20"},
                    FieldCase{u"123519.49999", u"12:35:19"},
                    // Rounding carries into the minutes, the hours and past midnight.
                    FieldCase{u"123559.6", u"12:36:00"}, FieldCase{u"125959.5", u"13:00:00"},
                    FieldCase{u"235959.5", u"00:00:00"}, FieldCase{u"191508.98", u"19:15:09"},
                    FieldCase{u"123519.", u"12:35:19"}, FieldCase{u".5", u"00:00:01"},
                    FieldCase{u"000231.099", u"00:02:31"},
                    // Not a time of day: the display keeps what it shows.
                    FieldCase{u"", std::nullopt}, FieldCase{u".", std::nullopt},
                    FieldCase{u"12a519", std::nullopt}, FieldCase{u"126199", std::nullopt},
                    FieldCase{u"123560", std::nullopt}, FieldCase{u"240000", std::nullopt},
                    FieldCase{u"1235190", std::nullopt}, FieldCase{u"123519.5.5", std::nullopt},
                    FieldCase{u"-123519", std::nullopt}, FieldCase{u"+123519", std::nullopt},
                    FieldCase{u" 123519", std::nullopt}, FieldCase{u"123519.x", std::nullopt},
                    FieldCase{u"1e5", std::nullopt}, FieldCase{u"12\u0663519", std::nullopt}));

struct SentenceCase {
    Text sentence; // from its "$" up to its carriage return
    std::optional<Text> expected;
};

class SentenceTime : public testing::TestWithParam<SentenceCase> {};

TEST_P(SentenceTime, TakesTheFirstFieldOfGgaAndRmc) {
    EXPECT_EQ(sentenceTime(GetParam().sentence), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sentences, SentenceTime,
    testing::Values(
        SentenceCase{u"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r",
                     u"12:35:19"},
        SentenceCase{u"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r",
                     u"12:35:19"},
        // Neither the talker, the checksum, the status nor the fix quality is looked at.
        SentenceCase{u"$INGGA,194111,,,,,0,*00\r", u"19:41:11"},
        SentenceCase{u"$XXRMC,010203,V*FF\r", u"01:02:03"},
        SentenceCase{u"$GPRMC,010203,\r", u"01:02:03"},
        // Anything else leaves the display alone.
        SentenceCase{u"$GPRMC,,V,,,,,,,,,,N*53\r", std::nullopt},
        SentenceCase{u"$GPGGA,123519\r", std::nullopt}, // no comma after the field
        SentenceCase{u"$GPGSV,3,1,11,03,03,111,00*74\r", std::nullopt},
        SentenceCase{u"$GPGLL,4916.45,N,12311.12,W,225444,A*31\r", std::nullopt},
        SentenceCase{u"$GPgga,123519,\r", std::nullopt},       // the type is case-sensitive
        SentenceCase{u"$$GNRMC,135817.000,A\r", std::nullopt}, // type read at characters 4 to 6
        SentenceCase{u"$GPGGA\r", std::nullopt}, SentenceCase{u"$", std::nullopt},
        SentenceCase{u"$GPRMC,126199,A\r", std::nullopt}));

} // namespace
} // namespace cronalba
