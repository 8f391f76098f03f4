#include "comm_control.h"

#include "com_port_list.h"

namespace cronalba::windows {

namespace {

LineSettings lineOf(const PortSettings &settings) {
    LineSettings line;
    line.baudRate = static_cast<std::uint32_t>(settings.baudRate);
    line.dataBits = settings.dataBits;
    switch (settings.parity) {
    case Parity::None:
        line.parity = LineSettings::Parity::None;
        break;
    case Parity::Even:
        line.parity = LineSettings::Parity::Even;
        break;
    case Parity::Odd:
        line.parity = LineSettings::Parity::Odd;
        break;
    case Parity::Mark:
        line.parity = LineSettings::Parity::Mark;
        break;
    case Parity::Space:
        line.parity = LineSettings::Parity::Space;
        break;
    }
    switch (settings.stopBits) {
    case StopBits::One:
        line.stopBits = LineSettings::StopBits::One;
        break;
    case StopBits::OneAndHalf:
        line.stopBits = LineSettings::StopBits::OneAndHalf;
        break;
    case StopBits::Two:
        line.stopBits = LineSettings::StopBits::Two;
        break;
    }
    return line;
}

} // namespace

WindowsCommControl::WindowsCommControl() {
    port.setCallback([this] { raiseOnComm(); });
}

bool WindowsCommControl::setSettings(const PortSettings &settings) {
    if (port.isOpen() && !port.applySettings(lineOf(settings))) {
        return false;
    }
    lineSettings = settings;
    return true;
}

bool WindowsCommControl::setCommPort(std::int16_t number) {
    if (port.isOpen() || number < 1) {
        return false;
    }
    portNumber = number;
    return true;
}

bool WindowsCommControl::setPortOpen(bool open) {
    if (!open) {
        port.close();
        return true;
    }
    return !port.isOpen() && portNumber > 0 && port.open(portNumber, lineOf(lineSettings));
}

bool WindowsCommControl::portOpen() const {
    return port.isOpen();
}

Text WindowsCommControl::input() {
    return latin1ToText(port.readAvailable());
}

std::vector<NumberedPort> WindowsCommControl::ports() const {
    std::vector<SerialPortEntry> entries;
    for (const ComPortInfo &info : listComPorts()) {
        entries.push_back({Text(info.device.begin(), info.device.end()),
                           Text(info.friendlyName.begin(), info.friendlyName.end())});
    }
    return SerialPortNumbering(std::move(entries), PortNaming::ComNumbers).ports();
}

} // namespace cronalba::windows
