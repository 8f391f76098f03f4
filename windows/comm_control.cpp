#include "comm_control.h"

#include "com_port_list.h"

namespace cronalba::windows {

WindowsCommControl::WindowsCommControl() {
    port.setCallback([this] { raiseOnComm(); });
}

bool WindowsCommControl::setSettings(const PortSettings &settings) {
    if (port.isOpen() && !port.applySettings(settings)) {
        return false;
    }
    lineSettings = settings;
    return true;
}

bool WindowsCommControl::setCommPort(std::int16_t number) {
    // COM names need no list of the system's ports.
    const auto name = SerialPortNumbering({}, PortNaming::ComNumbers).deviceFor(number);
    if (!name || port.isOpen()) {
        return false;
    }
    device.assign(name->begin(), name->end());
    return true;
}

bool WindowsCommControl::setPortOpen(bool open) {
    if (!open) {
        port.close();
        return true;
    }
    return !port.isOpen() && !device.empty() && port.open(device, lineSettings);
}

bool WindowsCommControl::portOpen() const {
    return port.isOpen();
}

Text WindowsCommControl::input() {
    return latin1ToText(port.readAvailable());
}

std::vector<NumberedPort> WindowsCommControl::ports() const {
    return SerialPortNumbering(listComPorts(), PortNaming::ComNumbers).ports();
}

} // namespace cronalba::windows
