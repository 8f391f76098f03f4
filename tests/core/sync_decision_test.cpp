// What a click on "Sincronizar Hora" decides from the GPS time on display and the difference as
// typed.
#include "sync_decision.h"

#include <gtest/gtest.h>

namespace cronalba {
namespace {

// The difference is the number the text begins with, once blanks, tabs and line feeds are out
// of it; the hour is rounded, halves away from zero. The result must stay within the day, and
// there must be a time on display.
TEST(DecideSync, AddsTheDifferenceToTheGpsHour) {
    const Text nines(10'000, u'9');
    const Text tiny = u"0." + Text(1000, u'0') + u"1";
    const TimeOfDay gps{12, 35, 19};
    const struct {
        std::optional<TimeOfDay> shown; // none: no time on display yet
        Text offset;
        std::optional<int> hour; // none: not set
    } cases[] = {
        // clang-format off
        {gps, u"+2", 14},    {gps, u"-5", 7},      {TimeOfDay{9, 5, 3}, u"1", 10},
        {gps, u"abc", 12},   {gps, u"", 12},       {gps, u" + 2 ", 14},  {gps, u"\t1\n0", 22},
        {gps, u"1 -1", 13},  {gps, u"+-2", 12},    {gps, u"\r2", 12},    {gps, u"\u0662", 12},
        {gps, u"1e3", 13},   {gps, u"1.5", 14},    {gps, u"-1.5", 11},   {gps, u".5", 13},
        {gps, u"11.49", 23}, {gps, u"-12", 0},     {gps, tiny, 12},      {gps, u"0." + nines, 13},
        {TimeOfDay{0, 0, 0}, u"-0.4", 0},          {TimeOfDay{22, 59, 59}, u"+1", 23},
        {TimeOfDay{23, 10, 0}, u"+2", {}},         {TimeOfDay{23, 0, 0}, u"0.5", {}},
        {TimeOfDay{0, 10, 0}, u"-0.5", {}},        {TimeOfDay{1, 0, 0}, u"-2", {}},
        {gps, nines, {}},    {gps, u"-" + nines, {}},
        {std::nullopt, u"-1", {}},
        // clang-format on
    };
    for (const auto &c : cases) {
        const SyncDecision decision = decideSync(c.shown, c.offset);
        SCOPED_TRACE(std::to_string(c.offset.size()) + " characters of difference");
        const SyncVerdict verdict = !c.shown ? SyncVerdict::NoGpsTime
                                    : c.hour ? SyncVerdict::Set
                                             : SyncVerdict::OutsideDay;
        EXPECT_EQ(decision.verdict, verdict);
        if (c.hour) {
            EXPECT_EQ(decision.time, (TimeOfDay{*c.hour, c.shown->minutes, c.shown->seconds}));
        }
    }
}

} // namespace
} // namespace cronalba
