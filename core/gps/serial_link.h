#pragma once

#include "serial_ports.h"
#include "text.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace cronalba {

// A serial port's line settings: a speed, always at 8 data bits, no parity and 1 stop bit, the
// framing NMEA receivers send at every speed. A control runs at 9600 until a connect sets its
// speed.
struct PortSettings {
    static constexpr int kDataBits = 8; // with no parity and 1 stop bit

    std::int32_t baudRate = 9600;

    bool operator==(const PortSettings &) const = default;
};

// The settings for a speed text as typed: the speed as decimal digits only (no sign, no blank)
// from 1 up, within 32 bits. Nothing for any other text ("4800" -> 4800, "+4800" -> nothing).
std::optional<PortSettings> portSettingsFromText(TextView speedText);

// The port number for a port text: its leading number rounded with halves to even (" 2" -> 2,
// "2.5" -> 2, "3.5" -> 4, "COM2" -> 0). Nothing when that falls outside the 16-bit range.
std::optional<std::int16_t> portNumberFromText(TextView portText);

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

} // namespace cronalba
