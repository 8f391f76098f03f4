#pragma once

// Stand-ins for Form1's window and services, recording what the handlers do.
#include "form1.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cronalba::testing {

// The window: the boxes' texts as typed, the displays' texts as shown, the lists as filled.
class FakeView final : public Form1View {
public:
    FakeView() {
        for (const ControlRow &row : kForm1Layout) {
            texts[row.id] = row.text;
        }
    }
    Text text(ControlId box) const override { return texts.at(box); }
    void setText(ControlId display, TextView text) override { texts[display] = Text(text); }
    void fillList(ControlId box, const std::vector<Text> &entries) override {
        lists[box].insert(lists[box].end(), entries.begin(), entries.end());
    }
    void unload() override {
        unloaded = true;
        if (form) {
            form->Form_Unload();
        }
    }

    std::map<ControlId, Text> texts;
    std::map<ControlId, std::vector<Text>> lists;
    bool unloaded = false;
    Form1 *form = nullptr; // whose unload runs when the window closes
};

// A serial control that records every call, in order, and fails where it is told to.
class FakeComm final : public CommControl {
public:
    bool setSettings(const PortSettings &settings) override {
        calls.push_back("Settings=" + std::to_string(settings.baudRate));
        return failing != "Settings";
    }
    bool setCommPort(std::int16_t port) override {
        calls.push_back("CommPort=" + std::to_string(port));
        return failing != "CommPort";
    }
    bool setPortOpen(bool open) override {
        calls.push_back(open ? "PortOpen=true" : "PortOpen=false");
        if (open && failing == "PortOpen") {
            return false;
        }
        isOpen = open;
        return true;
    }
    bool portOpen() const override { return isOpen; }
    Text input() override { return std::exchange(waiting, Text()); }
    std::vector<NumberedPort> ports() const override { return systemPorts; }

    // Makes text wait and raises the notification.
    void receive(TextView text) {
        waiting += text;
        raiseOnComm();
    }

    std::vector<std::string> calls;
    std::string failing; // the setter that fails: "Settings", "CommPort" or "PortOpen"
    bool isOpen = false;
    Text waiting;
    std::vector<NumberedPort> systemPorts;
};

// A clock that moves only when set, and refuses when told to.
class FakeClock final : public ComputerClock {
public:
    ClockReading now() const override { return current; }
    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override {
        requests.push_back({newTime, requestedAt});
        if (refusal) {
            return *refusal;
        }
        current.localTime = newTime;
        return {ClockOutcome::Done, {}};
    }

    struct Request {
        TimeOfDay newTime;
        Moment requestedAt;
    };
    ClockReading current{Moment(std::chrono::hours(480'000)), {12, 0, 0}};
    std::vector<Request> requests;
    std::optional<ClockSetResult> refusal;
};

class FakeMessages final : public MessageDialog {
public:
    struct Shown {
        Text text;
        Text title;
        MessageIcon icon;
    };
    void show(TextView text, TextView title, MessageIcon icon) override {
        shown.push_back({Text(text), Text(title), icon});
    }
    std::vector<Shown> shown;
};

class FakeProgramEnd final : public ProgramEnd {
public:
    void endNow(int exitStatus) override { status = exitStatus; }
    std::optional<int> status;
};

// Form1 over the stand-ins, loaded.
struct FakeWindow {
    FakeWindow() {
        view.form = &form;
        form.Form_Load();
    }

    Text shown(ControlId display) const { return view.texts.at(display); }
    void type(ControlId box, TextView text) { view.texts[box] = Text(text); }

    FakeView view;
    FakeComm comm;
    FakeClock clock;
    FakeMessages messages;
    FakeProgramEnd programEnd;
    Form1 form{view, {comm, clock, messages, programEnd}};
};

} // namespace cronalba::testing
