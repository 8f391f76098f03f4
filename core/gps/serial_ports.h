#pragma once

#include "text.h"

#include <optional>
#include <vector>

namespace cronalba {

// One serial port as the system reports it.
struct SerialPortEntry {
    Text device;      // what the system opens: "/dev/ttyUSB0", "COM3"
    Text description; // what it is, as the system names it; may be empty
};

// A port under the number the user types for it.
struct NumberedPort {
    int number = 0;
    Text device;
    Text description;

    bool operator==(const NumberedPort &) const = default;
};

// How a system names its serial ports, and so what a port number stands for.
enum class PortNaming {
    ComNumbers, // Windows: port n is COMn, listed or not
    SystemOrder // elsewhere: port n is the n-th port in the reading order of the device names
};

// Port numbers as the user types them, and the devices they stand for. Without COM names,
// port n is the n-th of the system's ports in the order of their device names, their digits
// read as numbers (/dev/ttyACM0, /dev/ttyS0, /dev/ttyS2, /dev/ttyS10, /dev/ttyUSB0, ...), so a
// lone USB receiver is port 1.
class SerialPortNumbering {
public:
    SerialPortNumbering(std::vector<SerialPortEntry> systemPorts, PortNaming naming);

    // The device of port number, or nothing when there is no such port.
    std::optional<Text> deviceFor(int number) const;

    // The system's ports under their numbers, in order; a COM name without a number is left out.
    const std::vector<NumberedPort> &ports() const { return numbered; }

private:
    PortNaming naming;
    std::vector<NumberedPort> numbered;
};

} // namespace cronalba
