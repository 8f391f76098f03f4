#pragma once

// Stand-ins for Form1's window and services, recording what the handlers do.
#include "form1.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cronalba::testing {

// The window: the boxes' texts as typed, the displays' texts as shown, the lists as filled.
class FakeView final : public Form1View {
public:
    Text text(ControlId box) const override { return texts.at(box); }
    void setText(ControlId display, TextView text) override { texts[display] = Text(text); }
    void fillList(ControlId box, const std::vector<Text> &entries) override {
        lists[box].insert(lists[box].end(), entries.begin(), entries.end());
    }
    void unload() override { unloaded = true; }

    std::map<ControlId, Text> texts;
    std::map<ControlId, std::vector<Text>> lists;
    bool unloaded = false;
};

// A serial control that records every call, in order, and fails where it is told to.
class FakeComm final : public CommControl {
public:
    bool setSettings(const PortSettings &settings) override {
        return record("Settings=" + std::to_string(settings.baudRate), "Settings");
    }
    bool setCommPort(std::int16_t port) override {
        return record("CommPort=" + std::to_string(port), "CommPort");
    }
    bool setPortOpen(bool open) override {
        const bool done = record(open ? "PortOpen=true" : "PortOpen=false", open ? "PortOpen" : "");
        isOpen = done ? open : isOpen;
        return done;
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

private:
    bool record(std::string call, const std::string &setter) {
        calls.push_back(std::move(call));
        return setter.empty() || failing != setter;
    }
};

// A clock that moves only when set, and refuses when told to.
class FakeClock final : public ComputerClock {
public:
    ClockReading now() const override { return current; }
    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override {
        requests.push_back({requestedAt, newTime});
        current.localTime = refusal ? current.localTime : newTime;
        return refusal.value_or(ClockSetResult{ClockOutcome::Done, {}});
    }
    // Takes a minute, as a password prompt might; setting then meets laterRefusal.
    ClockSetResult switchOffAutomaticTime() override {
        current.moment += std::chrono::minutes(1);
        refusal = laterRefusal;
        return switchOffRefusal.value_or(ClockSetResult{ClockOutcome::Done, {}});
    }

    ClockReading current{Moment(std::chrono::hours(480'000)), {12, 0, 0}};
    std::vector<ClockReading> requests; // the moment of the click, and the new time of day
    std::optional<ClockSetResult> refusal, switchOffRefusal, laterRefusal;
};

class FakeMessages final : public MessageDialog {
public:
    struct Shown {
        Text text;
        Text title;
        MessageIcon icon;
        bool operator==(const Shown &) const = default;
    };
    void show(TextView text, TextView title, MessageIcon icon) override {
        shown.push_back({Text(text), Text(title), icon});
    }
    // Runs whileAsking once, as a click that reaches the window meanwhile would, then answers.
    bool ask(TextView text, TextView /*title*/) override {
        asked.emplace_back(text);
        std::exchange(whileAsking, [] {})();
        return answer;
    }
    std::vector<Shown> shown;
    std::vector<Text> asked;
    bool answer = false;
    std::function<void()> whileAsking = [] {};
};

class FakeProgramEnd final : public ProgramEnd {
public:
    void endNow(int exitStatus) override { status = exitStatus; }
    std::optional<int> status;
};

// Form1 over the stand-ins (or another clock), loaded, with the layout's texts in the boxes.
struct FakeWindow {
    explicit FakeWindow(ComputerClock *otherClock = nullptr)
        : form{view, {comm, otherClock != nullptr ? *otherClock : clock, messages, programEnd}} {
        for (const ControlRow &row : kForm1Layout) {
            view.texts[row.id] = row.text;
        }
        form.Form_Load();
    }

    Text shown(ControlId display) const { return view.texts.at(display); }
    void type(ControlId box, TextView text) { view.texts[box] = Text(text); }

    FakeView view;
    FakeComm comm;
    FakeClock clock;
    FakeMessages messages;
    FakeProgramEnd programEnd;
    Form1 form;
};

} // namespace cronalba::testing
