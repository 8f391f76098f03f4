#include "serial_port_control.h"

namespace cronalba {

SerialPortControl::SerialPortControl(SerialPortLister lister)
    : listPorts(std::move(lister)) {
    QObject::connect(&port, &QSerialPort::readyRead, &port, [this] { raiseOnComm(); });
    QObject::connect(&port, &QSerialPort::errorOccurred, &port,
                     [this](QSerialPort::SerialPortError error) { handleError(error); });
}

bool SerialPortControl::setSettings(const PortSettings &settings) {
    if (port.isOpen() && !apply(settings)) {
        apply(lineSettings);
        return false;
    }
    lineSettings = settings;
    return true;
}

bool SerialPortControl::setCommPort(std::int16_t number) {
    if (port.isOpen()) {
        return false;
    }
    const auto path = SerialPortNumbering(listPorts(), PortNaming::SystemOrder).deviceFor(number);
    device = path ? std::optional(QString::fromStdU16String(*path)) : std::nullopt;
    return device.has_value();
}

bool SerialPortControl::setPortOpen(bool open) {
    if (!open) {
        port.close();
        return true;
    }
    if (port.isOpen() || !device) {
        return false;
    }
    port.setPortName(*device);
    // Qt applies the line settings while opening, and refuses to open with a speed the
    // system can't use.
    if (!apply(lineSettings) || !port.open(QIODevice::ReadOnly)) {
        port.close();
        return false;
    }
    port.clearError();
    return true;
}

bool SerialPortControl::portOpen() const {
    return port.isOpen();
}

Text SerialPortControl::input() {
    if (!port.isOpen()) {
        return {};
    }
    const QByteArray bytes = port.readAll();
    return latin1ToText(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::vector<NumberedPort> SerialPortControl::ports() const {
    return SerialPortNumbering(listPorts(), PortNaming::SystemOrder).ports();
}

bool SerialPortControl::apply(const PortSettings &settings) {
    return port.setBaudRate(settings.baudRate) &&
           port.setDataBits(static_cast<QSerialPort::DataBits>(PortSettings::kDataBits)) &&
           port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
           port.setFlowControl(QSerialPort::NoFlowControl);
}

void SerialPortControl::handleError(QSerialPort::SerialPortError error) {
    // Failures while opening are reported by setPortOpen; only a working port's errors count.
    if (error == QSerialPort::NoError || !port.isOpen()) {
        return;
    }
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
        // The device is gone (a receiver unplugged): closing stops its notifier, which would
        // otherwise fire again and again.
        port.close();
    }
    port.clearError();
    raiseOnComm();
}

} // namespace cronalba
