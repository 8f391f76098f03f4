#include "serial_ports.h"

#include <QSerialPortInfo>
#include <QStringList>

#include <algorithm>

namespace cronalba {

namespace {

// "COM12" -> 12; 0 for a name not of that form.
int comNumber(const QString &device) {
    if (!device.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        return 0;
    }
    bool ok = false;
    const int number = device.mid(3).toInt(&ok);
    return ok ? number : 0;
}

} // namespace

QList<SerialPortEntry> systemSerialPorts() {
    const bool byComName = kNativePortNaming == PortNaming::ComNumbers;
    QList<SerialPortEntry> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        ports.append({byComName ? info.portName() : info.systemLocation(), info.description()});
    }
    return ports;
}

SerialPortNumbering::SerialPortNumbering(QList<SerialPortEntry> systemPorts, PortNaming portNaming)
    : ports(std::move(systemPorts))
    , naming(portNaming) {
    const bool byComNumber = naming == PortNaming::ComNumbers;
    std::sort(ports.begin(), ports.end(),
              [byComNumber](const SerialPortEntry &a, const SerialPortEntry &b) {
                  if (byComNumber && comNumber(a.device) != comNumber(b.device)) {
                      return comNumber(a.device) < comNumber(b.device);
                  }
                  return a.device < b.device;
              });
}

std::optional<QString> SerialPortNumbering::deviceFor(int number) const {
    if (number < 1) {
        return std::nullopt;
    }
    if (naming == PortNaming::ComNumbers) {
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
        const int number = numberOf(i);
        if (number < 1) {
            continue; // a name without a number the user could type
        }
        QString line = QStringLiteral("%1 = %2").arg(number).arg(ports.at(i).device);
        if (!ports.at(i).description.isEmpty()) {
            line += QStringLiteral(" (%1)").arg(ports.at(i).description);
        }
        lines.append(line);
    }
    return lines.join(u'\n');
}

int SerialPortNumbering::numberOf(qsizetype index) const {
    return naming == PortNaming::ComNumbers ? comNumber(ports.at(index).device)
                                            : static_cast<int>(index + 1);
}

} // namespace cronalba
