#include "form1.h"

#include "messages.h"
#include "serial_link.h"
#include "sync_decision.h"

#include <span>

namespace cronalba {

namespace {

std::vector<Text> decimals(std::span<const int> values) {
    std::vector<Text> texts;
    for (const int value : values) {
        texts.push_back(formatDigits(value, u""));
    }
    return texts;
}

} // namespace

Form1::Form1(Form1View &form1View, Form1Services windowServices)
    : view(form1View)
    , services(windowServices)
    , comNMEA(windowServices.comNMEA) {
    comNMEA.setOnComm([this] { comNMEA_OnComm(); });
}

void Form1::Form_Load() {
    for (const ControlId box : {ControlId::comPuerto, ControlId::comBaudios}) {
        view.fillList(box, decimals(choicesOf(box)));
    }
}

void Form1::Timer1_Timer() {
    refreshComputerTime();
}

void Form1::click(ControlId button) {
    switch (button) {
    case ControlId::Command1:
        Command1_Click();
        break;
    case ControlId::Command2:
        Command2_Click();
        break;
    case ControlId::cmdSync:
        cmdSync_Click();
        break;
    default:
        break; // no handler: not a button
    }
}

void Form1::Command1_Click() {
    if (comNMEA.portOpen()) {
        comNMEA.setPortOpen(false);
    }
    showGpsTime(std::nullopt);

    const auto settings = portSettingsFromText(view.text(ControlId::comBaudios));
    const auto port = portNumberFromText(view.text(ControlId::comPuerto));

    // A speed the control can't be given fails like one it refuses; a port number beyond 16 bits
    // fails without asking the control.
    const bool opened = settings && comNMEA.setSettings(*settings) && port &&
                        comNMEA.setCommPort(*port) && comNMEA.setPortOpen(true);
    if (!opened) {
        services.messages.show(kPortFailure, kAppTitle, MessageIcon::None);
        services.programEnd.endNow(1);
        return;
    }
    refreshComputerTime();
}

void Form1::Command2_Click() {
    if (comNMEA.portOpen()) {
        comNMEA.setPortOpen(false);
    }
    view.unload();
}

void Form1::cmdSync_Click() {
    if (syncUnderWay) {
        return;
    }
    const SyncDecision decision = decideSync(gpsTimeShown, view.text(ControlId::txtOffset));
    if (decision.verdict != SyncVerdict::Set) {
        services.messages.show(notSetMessage(decision.verdict), kAppTitle, MessageIcon::Warning);
        return;
    }
    syncUnderWay = true;
    const ClockSetResult result = setClock(decision.time, services.clock.now().moment);
    syncUnderWay = false;
    if (result.outcome != ClockOutcome::Done) {
        services.messages.show(clockRefusalMessage(result), kAppTitle, MessageIcon::Warning);
        return;
    }
    refreshComputerTime();
}

ClockSetResult Form1::setClock(TimeOfDay newTime, Moment clickedAt) {
    ClockSetResult result = services.clock.setTimeOfDay(newTime, clickedAt);
    if (result.outcome != ClockOutcome::AutomaticSyncOn ||
        !services.messages.ask(switchOffAutomaticTimeQuestion(), kAppTitle)) {
        return result;
    }
    ClockSetResult switchedOff = services.clock.switchOffAutomaticTime();
    if (switchedOff.outcome != ClockOutcome::Done) {
        return switchedOff;
    }
    // Still as of the click: the time spent answering doesn't make the clock late.
    return services.clock.setTimeOfDay(newTime, clickedAt);
}

void Form1::Form_Unload() {
    comNMEA.setPortOpen(false); // the port may be closed already; nothing to report either way
}

Text Form1::comPuertoToolTip() const {
    return portListToolTip(comNMEA.ports());
}

void Form1::comNMEA_OnComm() {
    const std::vector<TimeOfDay> times = sentences.appendAndExtract(comNMEA.input());
    if (!times.empty()) {
        showGpsTime(times.back());
    }
}

void Form1::refreshComputerTime() {
    view.setText(ControlId::lblTime_1, timeOfDayText(services.clock.now().localTime));
}

void Form1::showGpsTime(std::optional<TimeOfDay> time) {
    gpsTimeShown = time;
    view.setText(ControlId::lblTime_0, time ? timeOfDayText(*time) : Text());
}

} // namespace cronalba
