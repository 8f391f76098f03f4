#pragma once

#include "computer_clock.h"
#include "serial_link.h"
#include "serial_ports.h"
#include "text.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace cronalba {

// The serial communications control, comNMEA: a port chosen by number and opened with line
// settings, whose received bytes are read as text. Every setter reports whether it worked.
class CommControl {
public:
    virtual ~CommControl() = default;

    // Applied at once while the port is open, else when it opens.
    virtual bool setSettings(const PortSettings &settings) = 0;
    // The port number, 1 for the first port; only while the port is closed.
    virtual bool setCommPort(std::int16_t port) = 0;
    // Opens or closes the port set by setCommPort with the last settings.
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    // Every byte received and not yet read, one character per byte (Latin-1); empty when none
    // waits.
    virtual Text input() = 0;
    // The system's ports under the numbers the user types for them.
    virtual std::vector<NumberedPort> ports() const = 0;

    // OnComm: called on the window's thread when received bytes are waiting, and on line
    // errors (a receiver unplugged, say).
    void setOnComm(std::function<void()> handler) { onComm = std::move(handler); }

protected:
    void raiseOnComm() const {
        if (onComm) {
            onComm();
        }
    }

private:
    std::function<void()> onComm;
};

enum class MessageIcon { None, Warning };

// A modal message box with an OK button only; returns once the user has dismissed it.
class MessageDialog {
public:
    virtual ~MessageDialog() = default;
    virtual void show(TextView text, TextView title, MessageIcon icon) = 0;
};

// Ends the program at once: no window is unloaded and no handler runs any more. The real one
// doesn't return; callers do nothing after it all the same, so that a stand-in may return.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void endNow(int exitStatus) = 0;
};

// What Form1 works through besides its window.
struct Form1Services {
    CommControl &comNMEA;
    ComputerClock &clock;
    MessageDialog &messages;
    ProgramEnd &programEnd;
};

} // namespace cronalba
