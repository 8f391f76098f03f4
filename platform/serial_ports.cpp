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

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Compares names as a person reads them: runs of digits by their value, so that ttyUSB2 comes
// before ttyUSB10. Names that differ only in leading zeros keep their plain order.
bool readingOrderLess(const QString &a, const QString &b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (!isDigit(a[i]) || !isDigit(b[j])) {
            if (a[i] != b[j]) {
                return a[i] < b[j];
            }
            ++i;
            ++j;
            continue;
        }
        // Two runs of digits: without their leading zeros, the longer is the larger number.
        const auto run = [](const QString &text, qsizetype &at) {
            while (at < text.size() && text[at] == u'0') {
                ++at;
            }
            const qsizetype start = at;
            while (at < text.size() && isDigit(text[at])) {
                ++at;
            }
            return QStringView(text).mid(start, at - start);
        };
        const QStringView x = run(a, i);
        const QStringView y = run(b, j);
        if (x.size() != y.size()) {
            return x.size() < y.size();
        }
        if (x != y) {
            return x < y;
        }
    }
    if ((i < a.size()) != (j < b.size())) {
        return j < b.size(); // the shorter name first
    }
    return a < b;
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
                  return readingOrderLess(a.device, b.device);
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
