// What Form1's handlers decide and do, over stand-ins for the window and its services.
#include "fakes.h"
#include "messages.h"
#include "sync_decision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

namespace cronalba {
namespace {

using testing::FakeWindow;
using Shown = testing::FakeMessages::Shown;
using enum ControlId;
using Calls = std::vector<std::string>;

// The controls' first texts, the lists filled at load, the computer's time from the first tick
// on (blank until then), and the exit: no handler but its own runs, so no clock and no box.
TEST(Form1, LoadFillsTheListsTheTimerShowsTheComputersTimeAndLeavingDoesNothingElse) {
    FakeWindow window;
    const std::pair<ControlId, TextView> firstTexts[] = {{comPuerto, u"1"},
                                                         {comBaudios, u"4800"},
                                                         {txtOffset, u"+2"},
                                                         {lblTime_0, u" "},
                                                         {lblTime_1, u""}};
    for (const auto &[control, text] : firstTexts) {
        EXPECT_EQ(window.shown(control), text) << rowOf(control).name;
    }
    EXPECT_EQ(window.view.lists[comPuerto], (std::vector<Text>{u"1", u"2"}));
    EXPECT_EQ(window.view.lists[comBaudios], (std::vector<Text>{u"1200", u"2400", u"4800", u"9600",
                                                                u"19200", u"57600", u"115200"}));
    EXPECT_EQ(window.comm.calls, Calls{});
    window.clock.current.localTime = {9, 5, 3};
    window.form.Timer1_Timer();
    EXPECT_EQ(window.shown(lblTime_1), u"09:05:03");
    window.form.click(txtOffset);
    window.form.click(Command2);
    EXPECT_TRUE(window.view.unloaded && window.clock.requests.empty() &&
                window.messages.shown.empty());
}

// Connect sets the port up in order, starts the GPS time over and shows the computer's time at
// once; a second connect closes the port first, and keeps the half sentence held.
TEST(Form1, ConnectAndReceive) {
    FakeWindow window;
    window.clock.current.localTime = {8, 7, 6};
    window.type(comPuerto, u" 2.5");
    window.type(comBaudios, u"38400");
    window.comm.receive(u"$GPRMC,120000,A\r\n$GPRMC,123519,A,4807");
    window.form.click(Command1);
    EXPECT_EQ(window.comm.calls, (Calls{"Settings=38400", "CommPort=2", "PortOpen=true"}));
    EXPECT_EQ(window.shown(lblTime_0), u"");
    EXPECT_EQ(window.shown(lblTime_1), u"08:07:06");
    window.form.click(cmdSync);
    EXPECT_TRUE(window.clock.requests.empty());

    window.comm.calls.clear();
    window.form.click(Command1);
    EXPECT_EQ(window.comm.calls,
              (Calls{"PortOpen=false", "Settings=38400", "CommPort=2", "PortOpen=true"}));
    window.comm.receive(u",N*6A\r\n$GPGSV,1\r\n");
    EXPECT_EQ(window.shown(lblTime_0), u"12:35:19");
    window.comm.receive(u"$GPRMC,120000,A\r\n$GPGGA,010203.6,x\r\n");
    EXPECT_EQ(window.shown(lblTime_0), u"01:02:04"); // the last time of the read
    EXPECT_EQ(window.messages.shown.size(), 1U);     // the sync's warning alone
}

TEST(Form1, AFailedConnectSaysSoAndEndsAtOnce) {
    const struct {
        const char *failing;
        const char16_t *port;
        const char16_t *speed;
        Calls calls;
    } cases[] = {
        // clang-format off
        {"Settings", u"1", u"4800", {"Settings=4800"}},
        {"CommPort", u"1", u"4800", {"Settings=4800", "CommPort=1"}},
        {"PortOpen", u"1", u"4800", {"Settings=4800", "CommPort=1", "PortOpen=true"}},
        {"", u"1", u"abc", {}},                       // a speed that isn't a number
        {"", u"32767.5", u"4800", {"Settings=4800"}}, // a port number beyond 16 bits
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << &c - cases);
        FakeWindow window;
        window.comm.failing = c.failing;
        window.type(comPuerto, c.port);
        window.type(comBaudios, c.speed);
        window.form.click(Command1);

        EXPECT_EQ(window.comm.calls, c.calls);
        EXPECT_EQ(window.messages.shown,
                  (std::vector<Shown>{{Text(kPortFailure), Text(kAppTitle), MessageIcon::None}}));
        EXPECT_EQ(window.programEnd.status, 1);
        // Ended at once: nothing unloaded, nothing refreshed.
        EXPECT_FALSE(window.view.unloaded);
        EXPECT_EQ(window.shown(lblTime_1), u"");
    }
}

// What a click on "Sincronizar Hora" decides from the GPS time on display and the difference as
// typed: the number the text begins with, once blanks, tabs and line feeds are out of it. The
// hour is rounded, halves away from zero; it must stay within the day, and a time must show.
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
        {gps, nines, {}},    {gps, u"-" + nines, {}},              {std::nullopt, u"-1", {}},
        // clang-format on
    };
    for (const auto &c : cases) {
        const SyncDecision decision = decideSync(c.shown, c.offset);
        SCOPED_TRACE(std::to_string(c.offset.size()) + " characters of difference");
        EXPECT_EQ(decision.verdict, !c.shown ? SyncVerdict::NoGpsTime
                                    : c.hour ? SyncVerdict::Set
                                             : SyncVerdict::OutsideDay);
        if (c.hour) {
            EXPECT_EQ(decision.time, (TimeOfDay{*c.hour, c.shown->minutes, c.shown->seconds}));
        }
    }
}

// The GPS time plus the difference is set as of the click and shown at once, or a warning says
// why not. When automatic time refuses, "Sí" switches it off and sets the same time again, and
// a click while the question is open does nothing.
TEST(Form1, SyncSetsTheClockAsOfTheClickOrSaysWhyNot) {
    using enum ClockOutcome;
    const std::optional<ClockSetResult> automatic{{AutomaticSyncOn, {}}};
    const char16_t *const gps = u"$GPRMC,123519,A\r\n"; // the difference stays "+2"
    const struct {
        const char16_t *received;
        std::optional<ClockSetResult> refusal, switchOffRefusal, laterRefusal;
        bool answer;
        std::size_t requests;
        Text warning; // none when the clock is set
    } cases[] = {
        {gps, {}, {}, {}, false, 1, {}},
        {u"", {}, {}, {}, false, 0, notSetMessage(SyncVerdict::NoGpsTime)},
        {u"$GPRMC,231000,A\r\n", {}, {}, {}, false, 0, notSetMessage(SyncVerdict::OutsideDay)},
        {gps, {{NotPermitted, {}}}, {}, {}, true, 1, clockRefusalMessage({NotPermitted, {}})},
        {gps, automatic, {}, {}, true, 2, {}},
        {gps, automatic, {}, {}, false, 1, clockRefusalMessage({AutomaticSyncOn, {}})},
        {gps, automatic, {{NoReply, {}}}, {}, true, 1, clockRefusalMessage({NoReply, {}})},
        {gps, automatic, {}, {{Failed, {}}}, true, 2, clockRefusalMessage({Failed, {}})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << &c - cases);
        FakeWindow window;
        window.clock.refusal = c.refusal;
        window.clock.switchOffRefusal = c.switchOffRefusal;
        window.clock.laterRefusal = c.laterRefusal;
        window.messages.answer = c.answer;
        window.messages.whileAsking = [&] { window.form.click(cmdSync); };
        window.comm.receive(c.received);
        const ClockReading click{window.clock.current.moment, {14, 35, 19}};
        window.form.click(cmdSync);

        const auto questions = c.refusal == automatic ? 1U : 0U;
        EXPECT_EQ(window.messages.asked, std::vector(questions, switchOffAutomaticTimeQuestion()));
        EXPECT_EQ(window.clock.requests, std::vector(c.requests, click));
        const std::vector<Shown> warning{{c.warning, Text(kAppTitle), MessageIcon::Warning}};
        EXPECT_EQ(window.messages.shown, c.warning.empty() ? std::vector<Shown>{} : warning);
        EXPECT_EQ(window.shown(lblTime_1), c.warning.empty() ? u"14:35:19" : u"");
        // Only a missing GPS time sends the user to connect first.
        EXPECT_EQ(c.warning.find(rowOf(Command1).text) != Text::npos, *c.received == u'\0');
    }
}

// Each reason the system gives reaches the user in words that say what to do.
TEST(ClockRefusalMessage, SaysWhyAndWhatToDo) {
    const std::pair<ClockOutcome, const char16_t *> cases[] = {
        // clang-format off
        {ClockOutcome::TimeSkipped, u"horario de verano"},
        {ClockOutcome::NotPermitted, u"Ejecute Cronalba como administrador (root)"},
        {ClockOutcome::NeedsAdministrator, u"\"Cambiar la hora del sistema\""},
        {ClockOutcome::ConsentRefused, u"acepte la petición de Windows"},
        {ClockOutcome::AutomaticSyncOn, u"timedatectl set-ntp false"},
        {ClockOutcome::NotAuthorized, u"contraseña"}, {ClockOutcome::NoReply, u"no ha respondido"},
        {ClockOutcome::Failed, u"(Input/output error)"},
        // clang-format on
    };
    for (const auto &[outcome, inMessage] : cases) {
        const Text message = clockRefusalMessage({outcome, u"Input/output error"});
        EXPECT_NE(message.find(inMessage), Text::npos) << static_cast<int>(outcome);
        EXPECT_NE(message.find(u"No se ha cambiado la hora del ordenador."), Text::npos);
    }
}

// A combo box beside a caption hides its right end; an input under a caption's second line, or
// one that ends within the caption's width, leaves it whole. Twips become the nearest pixel: at
// 150 % a box of 285 twips is 28.5 pixels, so 29, not the smaller 28.
TEST(Form1Layout, ACaptionShowsUpToTheInputOverItInWholePixels) {
    const std::pair<ControlId, int> cases[] = {
        {Label2, 720}, {Label3, 840}, {Label4, 1335}, {Label12, 6015}, {comPuerto, 615}};
    for (const auto &[control, width] : cases) {
        EXPECT_EQ(visibleWidth(control), width) << rowOf(control).name;
    }
    EXPECT_EQ(twipsToPixels(285, 144), 29);
    EXPECT_EQ(twipsToPixels(6210, 96), 414);
}

// The first installed family of the list, stepped down until the labels fit, not below 6
// points; the heading in the scalable classic font, else its own, else the window's family.
TEST(Form1Layout, FontsFollowOneOrderAndOneStepDown) {
    const std::u16string_view classic = kClassicFont.family;
    const std::u16string_view condensed = kCondensedFont.family;
    const std::u16string_view heading = kHeadingFont.family;
    const struct {
        std::vector<std::u16string_view> installed;
        double fitsBelow;
        std::u16string_view family;
        double points;
        std::u16string_view headingFamily;
    } cases[] = {
        {{classic, condensed, heading}, 9, classic, 8.0, classic},
        {{condensed, heading}, 9, condensed, 7.5, heading},
        {{condensed}, 7.1, condensed, 7.0, condensed},
        {{}, 9, u"Arial", 8.0, u"Arial"},
        {{classic}, 1, classic, 6.0, classic},
    };
    for (const auto &c : cases) {
        const FamilyInstalled installed = [&](const char16_t *family) {
            return std::find(c.installed.begin(), c.installed.end(), family) != c.installed.end();
        };
        const FontSpec font =
            windowFontFor(installed, [&](const FontSpec &at) { return at.points < c.fitsBelow; });
        EXPECT_EQ(font.family, c.family);
        EXPECT_EQ(font.points, c.points) << c.fitsBelow;
        const FontSpec headingFont = headingFontFor(installed, font);
        EXPECT_EQ(headingFont.family, c.headingFamily);
        EXPECT_TRUE(headingFont.bold && headingFont.points == kHeadingFont.points);
    }
}

} // namespace
} // namespace cronalba
