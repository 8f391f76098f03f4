#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace cronalba {

// One serial port as the system reports it.
struct SerialPortEntry {
    QString device;      // what QSerialPort opens: "/dev/ttyUSB0", "COM3"
    QString description; // what it is, as the system names it; may be empty
};

using SerialPortLister = std::function<QList<SerialPortEntry>()>;

// How a system names its serial ports, and so what a port number stands for.
enum class PortNaming {
    ComNumbers, // Windows: port n is COMn
    SystemOrder // elsewhere: port n is the n-th port in the reading order of the device names
};

#ifdef _WIN32
inline constexpr PortNaming kNativePortNaming = PortNaming::ComNumbers;
#else
inline constexpr PortNaming kNativePortNaming = PortNaming::SystemOrder;
#endif

// The serial ports of this machine, as Qt finds them.
QList<SerialPortEntry> systemSerialPorts();

// Port numbers as the user types them, and the devices they stand for. Without COM names,
// port n is the n-th of the system's ports in the order of their device names, their digits
// read as numbers (/dev/ttyACM0, /dev/ttyS0, /dev/ttyS2, /dev/ttyS10, /dev/ttyUSB0, ...), so a
// lone USB receiver is port 1.
class SerialPortNumbering {
public:
    explicit SerialPortNumbering(QList<SerialPortEntry> ports,
                                 PortNaming naming = kNativePortNaming);

    // The device of port number, or nothing when there is no such port.
    std::optional<QString> deviceFor(int number) const;

    // One line per port, "1 = /dev/ttyACM0 (receptor GNSS USB)", or a note that none was found.
    QString describe() const;

private:
    int numberOf(qsizetype index) const;

    QList<SerialPortEntry> ports;
    PortNaming naming;
};

} // namespace cronalba
