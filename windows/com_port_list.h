#pragma once

// The COM ports this system has, for telling the user which number is which.

#include "serial_ports.h"

#include <vector>

namespace cronalba::windows {

// Ports installed as devices (with their Device Manager names) and those only in the serial
// device map, each once: "COM3" with "USB-SERIAL CH340 (COM3)", say.
std::vector<SerialPortEntry> listComPorts();

} // namespace cronalba::windows
