#include "sync_decision.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace cronalba {
namespace {

struct DecisionCase {
    const char16_t *display;
    Text offset;
    SyncVerdict verdict;
    TimeOfDay time;
};

void PrintTo(const DecisionCase &c, std::ostream *out) {
    *out << std::string(c.display, c.display + TextView(c.display).size()) << " with an offset of "
         << c.offset.size() << " characters";
}

constexpr auto Set = SyncVerdict::Set;
constexpr auto NoGpsTime = SyncVerdict::NoGpsTime;
constexpr auto OutsideDay = SyncVerdict::OutsideDay;

class SyncDecisionTest : public testing::TestWithParam<DecisionCase> {};

TEST_P(SyncDecisionTest, SetsOnlyATimeOfDay) {
    const DecisionCase &c = GetParam();
    const SyncDecision decision = decideSync(c.display, c.offset);
    ASSERT_EQ(decision.verdict, c.verdict);
    if (c.verdict == Set) {
        EXPECT_EQ(decision.time, c.time);
    }
}

const Text manyNines(10'000, u'9');

INSTANTIATE_TEST_SUITE_P(
    Offsets, SyncDecisionTest,
    testing::Values(DecisionCase{u"12:35:19", u"+2", Set, {14, 35, 19}},
                    DecisionCase{u"12:35:19", u"2", Set, {14, 35, 19}},
                    DecisionCase{u"12:35:19", u"-5", Set, {7, 35, 19}},
                    DecisionCase{u"09:05:03", u"1", Set, {10, 5, 3}},
                    DecisionCase{u"12:35:19", u"abc", Set, {12, 35, 19}},
                    DecisionCase{u"12:35:19", u"", Set, {12, 35, 19}},
                    DecisionCase{u"12:35:19", u" + 2 ", Set, {14, 35, 19}},
                    DecisionCase{u"12:35:19", u"1e3", Set, {13, 35, 19}},
                    // Only the hour is rounded, halves away from zero.
                    DecisionCase{u"12:35:19", u"1.5", Set, {14, 35, 19}},
                    DecisionCase{u"12:35:19", u"-1.5", Set, {11, 35, 19}},
                    DecisionCase{u"12:35:19", u"11.49", Set, {23, 35, 19}},
                    DecisionCase{u"00:00:00", u"-0.4", Set, {0, 0, 0}},
                    // The edges of the day.
                    DecisionCase{u"22:59:59", u"+1", Set, {23, 59, 59}},
                    DecisionCase{u"12:35:19", u"-12", Set, {0, 35, 19}},
                    DecisionCase{u"23:10:00", u"+2", OutsideDay, {}},
                    DecisionCase{u"23:00:00", u"0.5", OutsideDay, {}},
                    DecisionCase{u"00:10:00", u"-0.5", OutsideDay, {}},
                    DecisionCase{u"01:00:00", u"-2", OutsideDay, {}},
                    DecisionCase{u"12:35:19", u"99999999999999999999", OutsideDay, {}},
                    DecisionCase{u"12:35:19", manyNines, OutsideDay, {}},
                    DecisionCase{u"12:35:19", u"-" + manyNines, OutsideDay, {}}));

INSTANTIATE_TEST_SUITE_P(Displays, SyncDecisionTest,
                         testing::Values(DecisionCase{u"", u"+2", NoGpsTime, {}},
                                         DecisionCase{u" ", u"+2", NoGpsTime, {}},
                                         DecisionCase{u"        ", u"+2", NoGpsTime, {}},
                                         DecisionCase{u"12:35", u"+2", NoGpsTime, {}},
                                         DecisionCase{u"12:35:19 ", u"+2", NoGpsTime, {}},
                                         DecisionCase{u" 2:35:19", u"+2", NoGpsTime, {}},
                                         DecisionCase{u"-1:00:00", u"+2", NoGpsTime, {}},
                                         DecisionCase{u"12-35-19", u"+2", NoGpsTime, {}},
                                         DecisionCase{u"12:60:00", u"+2", NoGpsTime, {}},
                                         DecisionCase{u"12:35:1x", u"+2", NoGpsTime, {}},
                                         DecisionCase{u"24:00:00", u"-1", NoGpsTime, {}}));

} // namespace
} // namespace cronalba
