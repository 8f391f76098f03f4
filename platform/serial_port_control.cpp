#include "serial_port_control.h"

#include "serial_link.h"

namespace cronalba {

namespace {

QSerialPort::Parity toQt(Parity parity) {
    switch (parity) {
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    case Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
        return QSerialPort::TwoStop;
    case StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

} // namespace

SerialPortControl::SerialPortControl(SerialPortLister lister, QObject *parent)
    : CommControl(parent)
    , listPorts(std::move(lister)) {
    connect(&port, &QSerialPort::readyRead, this, &CommControl::onComm);
    connect(&port, &QSerialPort::errorOccurred, this, &SerialPortControl::handleError);
}

bool SerialPortControl::setSettings(const QString &settings) {
    if (!parsePortSettings(settings.toStdU16String())) {
        return false;
    }
    const QString previous = settingsText;
    settingsText = settings;
    if (port.isOpen() && !applySettings()) {
        settingsText = previous;
        applySettings();
        return false;
    }
    return true;
}

bool SerialPortControl::setCommPort(std::int16_t number) {
    if (port.isOpen()) {
        return false;
    }
    device = SerialPortNumbering(listPorts()).deviceFor(number);
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
    if (!applySettings() || !port.open(QIODevice::ReadOnly)) {
        port.close();
        return false;
    }
    port.clearError();
    return true;
}

bool SerialPortControl::portOpen() const {
    return port.isOpen();
}

QString SerialPortControl::input() {
    if (!port.isOpen()) {
        return {};
    }
    return QString::fromLatin1(port.readAll());
}

QString SerialPortControl::portNumbering() const {
    return SerialPortNumbering(listPorts()).describe();
}

bool SerialPortControl::applySettings() {
    const auto settings = parsePortSettings(settingsText.toStdU16String());
    return settings && port.setBaudRate(settings->baudRate) &&
           port.setParity(toQt(settings->parity)) &&
           port.setDataBits(static_cast<QSerialPort::DataBits>(settings->dataBits)) &&
           port.setStopBits(toQt(settings->stopBits)) &&
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
    emit onComm();
}

} // namespace cronalba
