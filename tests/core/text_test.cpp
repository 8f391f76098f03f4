#include "text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace cronalba {
namespace {

struct LeadingNumberCase {
    Text text;
    double expected;
};

class LeadingNumber : public testing::TestWithParam<LeadingNumberCase> {};

TEST_P(LeadingNumber, ReadsTheNumberATextBeginsWith) {
    EXPECT_DOUBLE_EQ(leadingNumber(GetParam().text), GetParam().expected)
        << "text of " << GetParam().text.size() << " characters";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumber,
    testing::Values(
        LeadingNumberCase{u"+2", 2}, LeadingNumberCase{u"2", 2}, LeadingNumberCase{u"-5", -5},
        LeadingNumberCase{u"12:35:19", 12}, LeadingNumberCase{u" 2", 2},
        LeadingNumberCase{u"\t1\n2 3", 123}, LeadingNumberCase{u"+ 2", 2},
        LeadingNumberCase{u"1.5", 1.5}, LeadingNumberCase{u"-0.5", -0.5},
        LeadingNumberCase{u".5", 0.5}, LeadingNumberCase{u"7.", 7},
        LeadingNumberCase{u"1.2.3", 1.2}, LeadingNumberCase{u"1e3", 1},
        LeadingNumberCase{u"0x10", 0}, LeadingNumberCase{u"", 0}, LeadingNumberCase{u"   ", 0},
        LeadingNumberCase{u"abc", 0}, LeadingNumberCase{u"COM2", 0}, LeadingNumberCase{u"+", 0},
        LeadingNumberCase{u".", 0}, LeadingNumberCase{u"+-2", 0}, LeadingNumberCase{u"\r2", 0},
        LeadingNumberCase{u"\u0661", 0}, // an Arabic-Indic digit isn't one of ours
        LeadingNumberCase{u"\uFF12", 0}, // nor is a full-width 2
        LeadingNumberCase{u"99999999999999999999", 1e20},
        LeadingNumberCase{u"2" + Text(1000, u'0'), std::numeric_limits<double>::infinity()},
        LeadingNumberCase{u"-2" + Text(1000, u'0'), -std::numeric_limits<double>::infinity()},
        LeadingNumberCase{u"0." + Text(1000, u'0') + u"1", 0},
        LeadingNumberCase{Text(10000, u'0') + u"3", 3}));

TEST(RoundHalfEvenToInt16, HalvesGoToTheEvenNeighbour) {
    const struct {
        double value;
        std::int16_t expected;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2},       {-3.5, -4},         {2.4999, 2}, {2.5001, 3},
                 {0.5, 0}, {1.5, 2}, {32767.4, 32767}, {-32768.5, -32768}, {-0.4, 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(roundHalfEvenToInt16(c.value), c.expected) << c.value;
    }
}

TEST(RoundHalfEvenToInt16, ReportsWhatDoesNotFitInsteadOfWrapping) {
    for (const double value :
         {32767.5, 32768.0, -32768.6, 40000.0, 1e9, 1e300, std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(roundHalfEvenToInt16(value), std::nullopt) << value;
    }
}

TEST(RoundHalfAwayFromZero, HalvesGoAwayFromZero) {
    EXPECT_EQ(roundHalfAwayFromZero(2.5), 3);
    EXPECT_EQ(roundHalfAwayFromZero(-2.5), -3);
    EXPECT_EQ(roundHalfAwayFromZero(13.5), 14);
    EXPECT_EQ(roundHalfAwayFromZero(13.49), 13);
    EXPECT_EQ(roundHalfAwayFromZero(-0.4), 0);
}

TEST(FormatDigits, WritesDigitsRightAlignedIntoThePattern) {
    const struct {
        std::int64_t value;
        TextView pattern;
        TextView expected;
    } cases[] = {
        {123519, u"00:00:00", u"12:35:19"},
        {5, u"00:00:00", u"00:00:05"},
        {1234, u"00:00:00", u"00:12:34"},
        {0, u"00:00:00", u"00:00:00"},
        {1235190, u"00:00:00", u"123:51:90"}, // digits beyond the pattern go in front
        {14, u"00", u"14"},
        {7, u"00", u"07"},
        {0, u"00", u"00"},
        {-3, u"00", u"-03"},
        {-123, u"00", u"-123"},
        {123, u"", u"123"},
        {std::numeric_limits<std::int64_t>::min(), u"00", u"-9223372036854775808"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(formatDigits(c.value, c.pattern), c.expected) << c.value;
    }
}

TEST(Latin1ToText, EveryByteBecomesOneCharacterOfTheSameCode) {
    std::string bytes;
    for (int code = 0; code < 256; ++code) {
        bytes += static_cast<char>(code);
    }
    bytes += bytes; // and again, so that no byte merges with its neighbour
    const Text text = latin1ToText(bytes);
    ASSERT_EQ(text.size(), bytes.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        EXPECT_EQ(text[i], i % 256) << i;
    }
}

} // namespace
} // namespace cronalba
