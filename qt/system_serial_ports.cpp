#include "system_serial_ports.h"

#include <QSerialPortInfo>

namespace cronalba {

std::vector<SerialPortEntry> systemSerialPorts() {
    std::vector<SerialPortEntry> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        ports.push_back(
            {info.systemLocation().toStdU16String(), info.description().toStdU16String()});
    }
    return ports;
}

} // namespace cronalba
