#pragma once

#include "serial_link.h"
#include "system_serial_ports.h"

#include <QSerialPort>

#include <optional>

namespace cronalba {

// comNMEA over Qt's serial port. Port n is the n-th of the system's ports in reading order;
// tests replace the lister so that pseudo-terminals stand for the system's ports.
class SerialPortControl final : public CommControl {
public:
    explicit SerialPortControl(SerialPortLister lister = systemSerialPorts);

    bool setSettings(const PortSettings &settings) override;
    bool setCommPort(std::int16_t number) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override;
    Text input() override;
    std::vector<NumberedPort> ports() const override;

private:
    bool apply(const PortSettings &settings);
    void handleError(QSerialPort::SerialPortError error);

    SerialPortLister listPorts;
    QSerialPort port;
    PortSettings lineSettings;
    std::optional<QString> device;
};

} // namespace cronalba
