// Whatever is typed into the port and speed boxes, a connect either opens the port it names at
// the speed it names or shows the one message and ends; nothing else changes. The real serial
// control judges, with pseudo-terminals as the system's ports.
#include "pseudo_terminal.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <array>
#include <memory>

using namespace cronalba;
using namespace cronalba::testing;

namespace {

int portOf(const SerialPortNumbering &numbering, const QString &device) {
    int number = 1;
    while (numbering.deviceFor(number) != devicePath(device)) {
        ++number;
    }
    return number;
}

// A window whose ports 1 to count are pseudo-terminals.
struct PortsWindow {
    explicit PortsWindow(int count) {
        std::vector<SerialPortEntry> entries;
        for (int i = 0; i < count; ++i) {
            receivers.push_back(std::make_unique<PseudoTerminal>());
            entries.push_back({devicePath(receivers.back()->slavePath), u"receptor"});
        }
        // Port n is the device the numbering gives it.
        const SerialPortNumbering numbering(entries, PortNaming::SystemOrder);
        std::sort(receivers.begin(), receivers.end(), [&](const auto &a, const auto &b) {
            return portOf(numbering, a->slavePath) < portOf(numbering, b->slavePath);
        });
        window = std::make_unique<PtyWindow>(entries);
    }

    // The port numbers whose device is open in this process.
    QList<int> openPorts() const {
        QList<int> open;
        for (std::size_t i = 0; i < receivers.size(); ++i) {
            if (openDescriptors(receivers[i]->slavePath) > 0) {
                open.append(static_cast<int>(i) + 1);
            }
        }
        return open;
    }

    QString text(const char *box) const {
        return window->form.findChild<QComboBox *>(box)->currentText();
    }
    QString offset() const { return window->form.findChild<QLineEdit *>("txtOffset")->text(); }

    std::vector<std::unique_ptr<PseudoTerminal>> receivers;
    std::unique_ptr<PtyWindow> window;
};

// The failed connect: the one message, the program's end, and no port left open.
void verifyRefused(const PortsWindow &ports) {
    const PtyWindow &window = *ports.window;
    QCOMPARE(window.programEnd.status, 1);
    QCOMPARE(window.messages.shown.size(), std::size_t{1});
    QVERIFY(window.messages.shown[0].text == u"No puedo abrir el puerto de comunicaciones");
    QVERIFY(window.messages.shown[0].title == u"Cronalba");
    QCOMPARE(window.messages.shown[0].icon, MessageIcon::None);
    QVERIFY(!window.comm.portOpen());
    QCOMPARE(ports.openPorts(), QList<int>());
}

} // namespace

class HostilePortSpeedTest : public QObject {
    Q_OBJECT

private slots:
    void portText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("intPort");
        QTest::addColumn<bool>("opens");
        QTest::newRow("empty") << "" << 0 << false;
        QTest::newRow("COM2") << "COM2" << 0 << false;
        QTest::newRow("blank before") << " 2" << 2 << true;
        QTest::newRow("half to even, down") << "2.5" << 2 << true;
        QTest::newRow("half to even, up") << "3.5" << 4 << true;
        QTest::newRow("negative") << "-1" << -1 << false;
        QTest::newRow("beyond 16 bits") << "40000" << 0 << false;
        QTest::newRow("exponent not read") << "1e9" << 1 << true;
        QTest::newRow("Arabic-Indic one") << QString(QChar(0x0661)) << 0 << false;
        QTest::newRow("10000 nines") << QString(10000, u'9') << 0 << false;
    }
    void portText() {
        QFETCH(QString, typed);
        QFETCH(int, intPort);
        QFETCH(bool, opens);
        PortsWindow ports(4);
        PtyWindow &window = *ports.window;
        window.connectAt(typed, "4800");

        QCOMPARE(int(window.form.behaviour().portNumber()), intPort);
        QCOMPARE(QString::fromStdU16String(window.form.behaviour().settings()), "4800,n,8,1");
        if (opens) {
            QVERIFY(!window.failed());
            QVERIFY(window.messages.shown.empty());
            QCOMPARE(ports.openPorts(), QList<int>{intPort});
            QCOMPARE(ports.receivers[intPort - 1]->speed(), speed_t(B4800));
        } else {
            verifyRefused(ports);
        }
        QCOMPARE(ports.text("comPuerto"), typed);
        QCOMPARE(ports.text("comBaudios"), "4800");
        QCOMPARE(ports.offset(), "+2");
        QVERIFY(window.clock.requests.empty());
    }

    void speedText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("opens");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("letters") << "abc" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("negative") << "-9600" << false;
        QTest::newRow("blank after") << "4800 " << false;
        QTest::newRow("typed, not listed") << "38400" << true;
        QTest::newRow("beyond 32 bits") << "99999999999" << false;
        QTest::newRow("10000 nines") << QString(10000, u'9') << false;
    }
    void speedText() {
        QFETCH(QString, typed);
        QFETCH(bool, opens);
        PortsWindow ports(1);
        PtyWindow &window = *ports.window;
        window.connectAt("1", typed);

        QCOMPARE(QString::fromStdU16String(window.form.behaviour().settings()), typed + ",n,8,1");
        QCOMPARE(int(window.form.behaviour().portNumber()), 1);
        if (opens) {
            QVERIFY(!window.failed());
            QCOMPARE(ports.openPorts(), QList<int>{1});
            QCOMPARE(ports.receivers[0]->speed(), speed_t(B38400));
        } else {
            verifyRefused(ports);
        }
        QCOMPARE(ports.text("comBaudios"), typed);
        QCOMPARE(ports.text("comPuerto"), "1");
        QCOMPARE(ports.offset(), "+2");
        QVERIFY(window.clock.requests.empty());
    }
};

QTEST_MAIN(HostilePortSpeedTest)
#include "hostile_port_speed_test.moc"
