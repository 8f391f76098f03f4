// What Form1's handlers do, over stand-ins for the window and its services.
#include "fakes.h"
#include "messages.h"

#include <gtest/gtest.h>

namespace cronalba {
namespace {

using testing::FakeWindow;
using Shown = testing::FakeMessages::Shown;
using enum ControlId;
using Calls = std::vector<std::string>;

TEST(Form1, LoadFillsTheListsAndTheTimerShowsTheComputersTime) {
    FakeWindow window;
    EXPECT_EQ(window.view.lists[comPuerto], (std::vector<Text>{u"1", u"2"}));
    EXPECT_EQ(window.view.lists[comBaudios], (std::vector<Text>{u"1200", u"2400", u"4800", u"9600",
                                                                u"19200", u"57600", u"115200"}));
    EXPECT_EQ(window.shown(lblTime_1), u""); // until the first tick
    EXPECT_EQ(window.comm.calls, Calls{});
    window.clock.current.localTime = {9, 5, 3};
    window.form.Timer1_Timer();
    EXPECT_EQ(window.shown(lblTime_1), u"09:05:03");
}

// Connect sets the port up in order, starts the GPS display over and shows the computer's time
// at once; a second connect closes the port first, and keeps the half sentence held.
TEST(Form1, ConnectAndReceive) {
    FakeWindow window;
    window.clock.current.localTime = {8, 7, 6};
    window.type(comPuerto, u" 2.5");
    window.type(comBaudios, u"38400");
    window.comm.receive(u"$GPRMC,120000,A\r\n$GPRMC,123519,A,4807");
    window.form.click(Command1);
    EXPECT_EQ(window.comm.calls, (Calls{"Settings=38400", "CommPort=2", "PortOpen=true"}));
    EXPECT_EQ(window.form.settings(), u"38400,n,8,1");
    EXPECT_EQ(window.shown(lblTime_0), u"");
    EXPECT_EQ(window.shown(lblTime_1), u"08:07:06");

    window.comm.calls.clear();
    window.form.click(Command1);
    EXPECT_EQ(window.comm.calls,
              (Calls{"PortOpen=false", "Settings=38400", "CommPort=2", "PortOpen=true"}));
    window.comm.receive(u",N*6A\r\n$GPGGA,010203.6,x\r\n$GPGSV,1\r\n");
    EXPECT_EQ(window.shown(lblTime_0), u"01:02:04"); // the last time of the read
    EXPECT_EQ(window.form.buffer(), u"\n");
    EXPECT_TRUE(window.messages.shown.empty());
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
        EXPECT_EQ(window.messages.shown, (std::vector<Shown>{{u"No puedo abrir el puerto de "
                                                              u"comunicaciones",
                                                              u"Cronalba", MessageIcon::None}}));
        EXPECT_EQ(window.programEnd.status, 1);
        // Ended at once: nothing unloaded, nothing refreshed.
        EXPECT_FALSE(window.view.unloaded);
        EXPECT_EQ(window.shown(lblTime_1), u"");
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

TEST(Form1, ThePortTooltipListsTheSystemsPortsWhenAskedFor) {
    FakeWindow window;
    EXPECT_EQ(window.form.comPuertoToolTip(), u"No se ha encontrado ningún puerto serie.");
    window.comm.systemPorts = {{1, u"/dev/ttyACM0", u"u-blox GNSS receiver"},
                               {2, u"/dev/ttyS0", u""}};
    EXPECT_EQ(window.form.comPuertoToolTip(),
              u"1 = /dev/ttyACM0 (u-blox GNSS receiver)\n2 = /dev/ttyS0");
}

// Each reason the system gives reaches the user in words that say what to do.
TEST(ClockRefusalMessage, SaysWhyAndWhatToDo) {
    const std::pair<ClockOutcome, const char16_t *> cases[] = {
        // clang-format off
        {ClockOutcome::TimeSkipped, u"horario de verano"},
        {ClockOutcome::NotPermitted, u"Ejecute Cronalba como administrador (root)"},
        {ClockOutcome::NeedsAdministrator, u"\"Ejecutar como administrador\""},
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

// At 150 % a box of 285 twips is 28.5 pixels: the nearest whole pixel, not the smaller one.
TEST(Form1Layout, TwipsBecomeTheNearestPixel) {
    EXPECT_EQ(twipsToPixels(285, 144), 29);
    EXPECT_EQ(twipsToPixels(6210, 96), 414);
}

} // namespace
} // namespace cronalba
