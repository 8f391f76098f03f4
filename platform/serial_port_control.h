#pragma once

#include "comm_control.h"
#include "serial_ports.h"

#include <QSerialPort>

#include <optional>

namespace cronalba {

// comNMEA over Qt's serial port. Port numbers are resolved through a lister of the system's
// ports, which tests replace so that a pseudo-terminal stands for a port.
class SerialPortControl final : public CommControl {
    Q_OBJECT

public:
    explicit SerialPortControl(SerialPortLister lister = systemSerialPorts,
                               QObject *parent = nullptr);

    bool setSettings(const QString &settings) override;
    bool setCommPort(std::int16_t number) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override;
    QString input() override;
    QString portNumbering() const override;

private:
    bool applySettings();
    void handleError(QSerialPort::SerialPortError error);

    SerialPortLister listPorts;
    QSerialPort port;
    QString settingsText = QStringLiteral("9600,n,8,1");
    std::optional<QString> device;
};

} // namespace cronalba
