// What a click on "Sincronizar Hora" decides from the GPS display and the difference as typed.
#include "sync_decision.h"

#include <gtest/gtest.h>

namespace cronalba {
namespace {

// The difference is the number the text begins with, once blanks, tabs and line feeds are out
// of it; the hour is rounded, halves away from zero. The result must stay within the day.
TEST(DecideSync, AddsTheDifferenceToTheGpsHour) {
    const Text nines(10'000, u'9');
    const Text tiny = u"0." + Text(1000, u'0') + u"1";
    const struct {
        Text display;
        Text offset;
        std::optional<TimeOfDay> time; // none: outside the day
    } cases[] = {
        // clang-format off
        {u"12:35:19", u"+2", {{14, 35, 19}}},      {u"12:35:19", u"-5", {{7, 35, 19}}},
        {u"09:05:03", u"1", {{10, 5, 3}}},         {u"12:35:19", u"abc", {{12, 35, 19}}},
        {u"12:35:19", u"", {{12, 35, 19}}},        {u"12:35:19", u" + 2 ", {{14, 35, 19}}},
        {u"12:35:19", u"\t1\n0", {{22, 35, 19}}},  {u"12:35:19", u"1 -1", {{13, 35, 19}}},
        {u"12:35:19", u"+-2", {{12, 35, 19}}},     {u"12:35:19", u"\r2", {{12, 35, 19}}},
        {u"12:35:19", u"\u0662", {{12, 35, 19}}},  {u"12:35:19", u"1e3", {{13, 35, 19}}},
        {u"12:35:19", u"1.5", {{14, 35, 19}}},     {u"12:35:19", u"-1.5", {{11, 35, 19}}},
        {u"12:35:19", u".5", {{13, 35, 19}}},      {u"12:35:19", u"11.49", {{23, 35, 19}}},
        {u"00:00:00", u"-0.4", {{0, 0, 0}}},       {u"22:59:59", u"+1", {{23, 59, 59}}},
        {u"12:35:19", u"-12", {{0, 35, 19}}},      {u"12:35:19", tiny, {{12, 35, 19}}},
        {u"12:35:19", u"0." + nines, {{13, 35, 19}}},
        {u"23:10:00", u"+2", {}},   {u"23:00:00", u"0.5", {}},  {u"00:10:00", u"-0.5", {}},
        {u"01:00:00", u"-2", {}},   {u"12:35:19", nines, {}},   {u"12:35:19", u"-" + nines, {}},
        // clang-format on
    };
    for (const auto &c : cases) {
        const SyncDecision decision = decideSync(c.display, c.offset);
        SCOPED_TRACE(std::to_string(c.offset.size()) + " characters of difference");
        EXPECT_EQ(decision.verdict, c.time ? SyncVerdict::Set : SyncVerdict::OutsideDay);
        EXPECT_EQ(decision.time, c.time.value_or(decision.time));
    }
}

TEST(DecideSync, NeedsAnHhMmSsTimeOfDayOnTheDisplay) {
    for (const TextView display : {u"", u" ", u"12:35", u"12:35:19 ", u" 2:35:19", u"-1:00:00",
                                   u"12-35-19", u"12:60:00", u"12:35:1x", u"24:00:00"}) {
        EXPECT_EQ(decideSync(display, u"-1").verdict, SyncVerdict::NoGpsTime) << display.size();
    }
}

} // namespace
} // namespace cronalba
