// The window over the real serial control, with pseudo-terminals standing for receivers: the
// test writes NMEA text into a master side and reads its line settings. A second port at a
// second speed, the ways the port closes, a port that won't open, and the faults of a real
// line: a receiver unplugged. (Hours of noise are a benchmark: bench/latency_bench.cpp.)
#include "fakes.h"
#include "form1_window.h"
#include "immediate_program_end.h"
#include "messages.h"
#include "qt_message_dialog.h"
#include "quit_on_signal.h"
#include "serial_port_control.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <array>
#include <csignal>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace cronalba;
using namespace cronalba::testing;

namespace {

constexpr int kWaitMs = 5000;

// A pseudo-terminal standing for a receiver, whose slave side nobody holds open until the
// program opens it. The test writes NMEA text into the master side and reads its settings.
class PseudoTerminal {
public:
    PseudoTerminal() {
        int slave = -1;
        std::array<char, 256> name{};
        if (openpty(&master, &slave, name.data(), nullptr, nullptr) != 0) {
            qFatal("openpty failed");
        }
        path = QString::fromLocal8Bit(name.data());
        ::close(slave);
    }
    ~PseudoTerminal() { closeMaster(); }

    void send(const QByteArray &bytes) const {
        QCOMPARE(::write(master, bytes.constData(), static_cast<size_t>(bytes.size())),
                 bytes.size());
    }
    // The line as the device sees it: its speed, and whether it runs 8N1 (8 data bits, no
    // parity, 1 stop bit; what a pseudo-terminal keeps of them) without flow control.
    std::pair<speed_t, bool> line() const {
        termios settings{};
        tcgetattr(master, &settings);
        const bool plain8N1 = (settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS)) == CS8 &&
                              (settings.c_iflag & (IXON | IXOFF)) == 0;
        return {cfgetispeed(&settings), plain8N1};
    }
    void closeMaster() { ::close(std::exchange(master, -1)); }
    SerialPortEntry entry() const { return {path.toStdU16String(), u"pseudo-terminal"}; }

    QString path;
    int master = -1;
};

// This process's descriptors open on path, or all of them, with their access modes.
QMap<int, int> openDescriptors(const QString &path = {}) {
    QMap<int, int> modes;
    for (const QFileInfo &entry : QDir("/proc/self/fd").entryInfoList(QDir::System)) {
        if (const int fd = entry.fileName().toInt();
            path.isEmpty() || entry.symLinkTarget() == path) {
            modes[fd] = fcntl(fd, F_GETFL) & O_ACCMODE;
        }
    }
    return modes;
}
const QList<int> kReadOnce{O_RDONLY}; // one descriptor, read-only

// The window over the real serial control, whose ports are the entries of ports: a test may
// change them between connects, so that a new pseudo-terminal takes an old port number.
struct PtyWindow {
    explicit PtyWindow(std::vector<SerialPortEntry> systemPorts)
        : ports(std::move(systemPorts)) {
        comm.setOnComm([this] {
            ++notifications;
            form.behaviour().comNMEA_OnComm();
        });
        form.show();
    }
    void connectAt(const QString &port, const QString &speed) {
        form.findChild<QComboBox *>("comPuerto")->setEditText(port);
        form.findChild<QComboBox *>("comBaudios")->setEditText(speed);
        click("Command1");
    }
    void click(const char *button) { form.findChild<QPushButton *>(button)->click(); }
    QString gpsTime() const { return form.findChild<QLabel *>("lblTime_0")->text(); }
    bool failed() const { return programEnd.status.has_value(); }

    std::vector<SerialPortEntry> ports;
    SerialPortControl comm{[this] { return ports; }};
    FakeClock clock;
    FakeMessages messages;
    FakeProgramEnd programEnd;
    Form1Window form{{comm, clock, messages, programEnd}};
    int notifications = 0; // comNMEA's, so far
};

} // namespace

class SerialTest : public QObject {
    Q_OBJECT

private slots:
    // A second connect, to another port at a typed speed, leaves that port alone open, read-only,
    // at that speed, and the display empty until a time comes from it; a whole receiver second,
    // GGA to VTG, that arrives at once is handled in one notification.
    void aSecondPortAtASecondSpeedThenAWholeSecond() {
        PseudoTerminal first;
        PseudoTerminal pty;
        PtyWindow window({first.entry(), pty.entry()});
        window.connectAt("1", "4800");
        QCOMPARE(first.line(), std::pair(speed_t(B4800), true));
        first.send("noise$GPRMC,235959.6,A\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "00:00:00", kWaitMs);

        window.connectAt("2", "38400");
        QVERIFY(!window.failed());
        QVERIFY(window.comm.ports()[1].device == pty.entry().device); // as the port list says
        QCOMPARE(window.gpsTime(), QString());
        QCOMPARE(pty.line(), std::pair(speed_t(B38400), true));
        QCOMPARE(openDescriptors(pty.path).values(), kReadOnce);
        window.notifications = 0;
        pty.send("$GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                 "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n"
                 "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n"
                 "$GPRMC,123520.000,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"
                 "$GPVTG,084.4,T,,M,022.4,N,041.5,K*43\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.notifications, 1, kWaitMs);
        QCOMPARE(window.gpsTime(), "12:35:20");
    }

    // Connecting twice leaves one descriptor, and the exit button, the title bar and the end of
    // the session all close it: no descriptor is left over.
    void everyWayOutClosesThePort_data() {
        QTest::addColumn<QString>("way");
        for (const char *way : {"SALIR DEL PROGRAMA", "title bar", "SIGTERM"}) {
            QTest::newRow(way) << way;
        }
    }
    void everyWayOutClosesThePort() {
        QFETCH(QString, way);
        PseudoTerminal pty;
        PtyWindow window({pty.entry()});
        closeOnTerminationSignals(window.form);
        const auto before = openDescriptors().size();
        window.connectAt("1", "9600");
        window.click("Command1");
        QCOMPARE(openDescriptors(pty.path).values(), kReadOnce);
        if (way == "SIGTERM") {
            ::raise(SIGTERM); // as the session does at logout
        } else if (way == "title bar") {
            window.form.close();
        } else {
            window.click("Command2");
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window.form.isVisible(), kWaitMs);
        QCOMPARE(openDescriptors().size(), before);
        QVERIFY(!window.failed());
    }

    // Unplugged: a hang-up (a read error to Qt), then a device gone (a resource error).
    void receiverUnpluggedMidSentence() {
        PseudoTerminal receiver;
        PtyWindow window({receiver.entry()});
        window.connectAt("1", "4800");
        receiver.send("$GPRMC,111111,A\r\n$GPGGA,1212");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "11:11:11", kWaitMs);

        receiver.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!window.comm.portOpen(), kWaitMs);
        QCOMPARE(window.gpsTime(), "11:11:11");
        QVERIFY(window.messages.shown.empty() && !window.failed());

        // Plugged in again, it comes back as a new device under the same port number. The cut
        // sentence still held goes with the first sentence after it; the next one shows.
        PseudoTerminal back;
        window.ports = {back.entry()};
        window.connectAt("1", "4800");
        QCOMPARE(openDescriptors(back.path).values(), kReadOnce);
        back.send("$GPRMC,121212,A\r\n$GPRMC,121213,A\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "12:12:13", kWaitMs);

        std::array<int, 2> ends{};
        QCOMPARE(pipe(ends.data()), 0);
        ::close(ends[0]); // what is left, the write end, reports an error and can't be read
        dup2(ends[1], openDescriptors(back.path).firstKey());
        ::close(ends[1]);
        QTRY_VERIFY_WITH_TIMEOUT(!window.comm.portOpen(), kWaitMs);
    }

    // A port that won't open: the message box says so, without a sign, and only once it is
    // dismissed does the program end, with status 1; for real, so in a child: this test again.
    void aPortThatWontOpenIsToldThenTheProgramEnds() {
        if (qEnvironmentVariableIsSet("CRONALBA_END_FOR_REAL")) {
            SerialPortControl comm{[] { return std::vector<SerialPortEntry>{}; }};
            FakeClock clock;
            QtMessageDialog messages;
            ImmediateProgramEnd programEnd;
            Form1Window form{{comm, clock, messages, programEnd}};
            QTimer::singleShot(0, [] { // once the box shows: what it says, then OK
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                std::printf("\nicon %d, %s: %s\n", box->icon(), qPrintable(box->windowTitle()),
                            qPrintable(box->text()));
                box->accept();
            });
            form.findChild<QPushButton *>("Command1")->click();
            qFatal("the program went on after a port failure");
        }
        QProcess child;
        child.setEnvironment(QProcess::systemEnvironment() << "CRONALBA_END_FOR_REAL=1");
        child.start(QCoreApplication::applicationFilePath(), {QTest::currentTestFunction()});
        QVERIFY(child.waitForFinished(kWaitMs));
        QCOMPARE(child.exitCode(), 1);
        const auto text = [](TextView view) {
            return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
        };
        QVERIFY(child.readAllStandardOutput().contains(QStringLiteral("\nicon 0, %1: %2\n")
                                                           .arg(text(kAppTitle), text(kPortFailure))
                                                           .toUtf8()));
    }
};

QTEST_MAIN(SerialTest)
#include "serial_test.moc"
