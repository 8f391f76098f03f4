#include "text.h"

#include <gtest/gtest.h>

#include <limits>

namespace cronalba {
namespace {

// The number a time difference or a port number begins with; what the window does with it is
// tested with the window.
TEST(LeadingNumber, ReadsTheNumberATextBeginsWith) {
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        Text text;
        double expected;
    } cases[] = {
        {u"+2", 2},
        {u"-5", -5},
        {u"12:35:19", 12},
        {u"\t1\n2 3", 123},
        {u"+ 2", 2},
        {u".5", 0.5},
        {u"1.2.3", 1.2},
        {u"1e3", 1},
        {u"COM2", 0},
        {u"+-2", 0},
        {u"\r2", 0},
        {u"\u0661", 0}, // an Arabic-Indic digit isn't one of ours
        {u"2" + Text(1000, u'0'), infinity},
        {u"-2" + Text(1000, u'0'), -infinity},
        {u"0." + Text(1000, u'0') + u"1", 0},
    };
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.expected) << c.text.size() << " characters";
    }
}

TEST(RoundHalfEvenToInt16, RoundsHalvesToEvenAndReportsWhatDoesNotFit) {
    const struct {
        double value;
        std::optional<std::int16_t> expected;
    } cases[] = {{2.5, 2},           {3.5, 4},
                 {-2.5, -2},         {2.5001, 3},
                 {32767.4, 32767},   {32767.5, {}},
                 {-32768.5, -32768}, {-32768.6, {}},
                 {1e300, {}},        {std::numeric_limits<double>::quiet_NaN(), {}}};
    for (const auto &c : cases) {
        EXPECT_EQ(roundHalfEvenToInt16(c.value), c.expected) << c.value;
    }
}

TEST(FormatDigits, WritesDigitsRightAlignedIntoThePattern) {
    const struct {
        std::int64_t value;
        TextView pattern;
        TextView expected;
    } cases[] = {
        {1235190, u"00:00:00", u"123:51:90"}, // digits beyond the pattern go in front
        {0, u"00", u"00"},
        {-3, u"00", u"-03"},
        {std::numeric_limits<std::int64_t>::min(), u"00", u"-9223372036854775808"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(formatDigits(c.value, c.pattern), c.expected) << c.value;
    }
}

TEST(Latin1ToText, EveryByteBecomesOneCharacterOfTheSameCode) {
    EXPECT_EQ(latin1ToText(std::string_view("$\0\xB0\xFF", 4)), Text(u"$\0\u00B0\u00FF", 4));
}

} // namespace
} // namespace cronalba
