#include "serial_ports.h"

#include <QSerialPortInfo>
#include <QStringList>

#include <algorithm>

namespace cronalba {

namespace {

QString describeEntry(const QString &number, const SerialPortEntry &entry) {
    QString line = number + QStringLiteral(" = ") + entry.device;
    if (!entry.description.isEmpty()) {
        line += QStringLiteral(" (%1)").arg(entry.description);
    }
    return line;
}

#ifdef _WIN32
constexpr bool kPortsByComName = true;
#else
constexpr bool kPortsByComName = false;
#endif

// "COM12" -> 12; 0 for a name not of that form.
int comNumber(const QString &device) {
    if (!device.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        return 0;
    }
    bool ok = false;
    const int number = device.mid(3).toInt(&ok);
    return ok ? number : 0;
}

// The number the user types for the port at index of the sorted list.
int numberOf(qsizetype index, const SerialPortEntry &entry) {
    return kPortsByComName ? comNumber(entry.device) : static_cast<int>(index + 1);
}

} // namespace

QList<SerialPortEntry> systemSerialPorts() {
    QList<SerialPortEntry> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        ports.append(
            {kPortsByComName ? info.portName() : info.systemLocation(), info.description()});
    }
    return ports;
}

SerialPortNumbering::SerialPortNumbering(QList<SerialPortEntry> systemPorts)
    : ports(std::move(systemPorts)) {
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry &a, const SerialPortEntry &b) {
        if (kPortsByComName && comNumber(a.device) != comNumber(b.device)) {
            return comNumber(a.device) < comNumber(b.device);
        }
        return a.device < b.device;
    });
}

std::optional<QString> SerialPortNumbering::deviceFor(int number) const {
    if (number < 1) {
        return std::nullopt;
    }
    if constexpr (kPortsByComName) {
        return QStringLiteral("COM%1").arg(number);
    }
    if (number > ports.size()) {
        return std::nullopt;
    }
    return ports.at(number - 1).device;
}

QString SerialPortNumbering::describe() const {
    if (ports.isEmpty()) {
        return QStringLiteral("No se ha encontrado ningún puerto serie.");
    }
    QStringList lines;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        const int number = numberOf(i, ports.at(i));
        if (number > 0) {
            lines.append(describeEntry(QString::number(number), ports.at(i)));
        }
    }
    return lines.join(u'\n');
}

} // namespace cronalba
