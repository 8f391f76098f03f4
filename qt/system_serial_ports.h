#pragma once

#include "serial_ports.h"

#include <functional>
#include <vector>

namespace cronalba {

using SerialPortLister = std::function<std::vector<SerialPortEntry>()>;

// The serial ports of this machine, as Qt finds them: their device paths and descriptions.
std::vector<SerialPortEntry> systemSerialPorts();

} // namespace cronalba
