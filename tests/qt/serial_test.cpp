// The window over the real serial control, with pseudo-terminals standing for receivers: the
// test writes NMEA text into a master side and reads its line settings. Reads in pieces, a
// second speed, the ways the port closes, and the faults of a real line: a receiver unplugged,
// hours of noise, whole seconds in one read, many connects.
#include "quit_on_signal.h"
#include "serial_port_control.h"
#include "window_over_fakes.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <csignal>
#include <random>

#include <fcntl.h>
#include <poll.h>
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
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    void send(const QByteArray &bytes) const {
        QCOMPARE(::write(master, bytes.constData(), static_cast<size_t>(bytes.size())),
                 bytes.size());
    }
    speed_t speed() const {
        termios settings{};
        tcgetattr(master, &settings);
        return cfgetospeed(&settings);
    }
    // True once no one has the slave side open any more.
    bool hungUp() const {
        pollfd hangup{master, POLLIN, 0};
        return ::poll(&hangup, 1, 0) == 1 && (hangup.revents & POLLHUP) != 0;
    }
    void closeMaster() {
        if (master >= 0) {
            ::close(master);
            master = -1;
        }
    }
    SerialPortEntry entry() const { return {path.toStdU16String(), u"pseudo-terminal"}; }

    QString path;
    int master = -1;
};

// How many descriptors of this process are open on path, or at all.
int openDescriptors(const QString &path = {}) {
    int count = 0;
    for (const QFileInfo &entry : QDir("/proc/self/fd").entryInfoList(QDir::System)) {
        count += path.isEmpty() || entry.symLinkTarget() == path ? 1 : 0;
    }
    return count;
}

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
    // Port 2 is the pseudo-terminal; port 1 is a device that doesn't exist.
    explicit PtyWindow(const PseudoTerminal &pty)
        : PtyWindow({pty.entry(), {u"/dev/cronalba-missing0", u"no existe"}}) {}

    void connectAt(const QString &port, const QString &speed) {
        form.findChild<QComboBox *>("comPuerto")->setEditText(port);
        form.findChild<QComboBox *>("comBaudios")->setEditText(speed);
        click("Command1");
    }
    void click(const char *button) { form.findChild<QPushButton *>(button)->click(); }
    QString gpsTime() const { return form.findChild<QLabel *>("lblTime_0")->text(); }
    bool failed() const { return programEnd.status.has_value(); }
    // Waits for comNMEA's next notification, which the window then handles; true when it came.
    bool waitForNotification() {
        const int before = notifications;
        QElapsedTimer waited;
        waited.start();
        while (notifications == before && waited.elapsed() < kWaitMs) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return notifications > before;
    }

    std::vector<SerialPortEntry> ports;
    SerialPortControl comm{[this] { return ports; }};
    FakeClock clock;
    FakeMessages messages;
    FakeProgramEnd programEnd;
    Form1Window form{{comm, clock, messages, programEnd}};
    int notifications = 0; // comNMEA's, so far
};

double processCpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

// A figure of /proc/self/status in KiB: "VmRSS" (resident now) or "VmHWM" (its peak).
qint64 statusKiB(const QByteArray &field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':')) {
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

// 64 KiB of noise drawn from every byte value but one.
QByteArray noiseWithout(char excluded) {
    QByteArray bytes(qsizetype{64} * 1024, '\0');
    std::minstd_rand random(20240301);
    for (char &byte : bytes) {
        do {
            byte = static_cast<char>(random() & 0xFF);
        } while (byte == excluded);
    }
    return bytes;
}

// Writes size bytes of pattern, repeated, into the receiver as fast as the window takes them.
qint64 flood(const PseudoTerminal &receiver, const QByteArray &pattern, qint64 size) {
    fcntl(receiver.master, F_SETFL, fcntl(receiver.master, F_GETFL) | O_NONBLOCK);
    qint64 sent = 0;
    while (sent < size) {
        const qint64 offset = sent % pattern.size();
        const auto piece = static_cast<size_t>(std::min(size - sent, pattern.size() - offset));
        const ssize_t written = ::write(receiver.master, pattern.constData() + offset, piece);
        if (written > 0) {
            sent += written;
        } else if (errno == EAGAIN) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50); // the window reads
        } else {
            break;
        }
    }
    return sent;
}

} // namespace

class SerialTest : public QObject {
    Q_OBJECT

private slots:
    // A sentence in three pieces shows with the third; a second connect at a typed speed leaves
    // one port open at that speed, and the display empty until a time comes at it.
    void piecesThenASecondSpeed() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        window.connectAt("2", "4800");
        QCOMPARE(pty.speed(), speed_t(B4800));
        const QList<QByteArray> pieces = {"*7D\r\nnoise$GPRM", "C,235959.6,A,4807.0",
                                          "38,N*6A\r\n"};
        for (int i = 0; i < 2; ++i) {
            pty.send(pieces[i]);
            QVERIFY(window.waitForNotification());
            QCOMPARE(window.gpsTime(), QString());
        }
        pty.send(pieces[2]);
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "00:00:00", kWaitMs);

        window.connectAt("2", "38400");
        QVERIFY(!window.failed());
        QCOMPARE(window.gpsTime(), QString());
        QCOMPARE(pty.speed(), speed_t(B38400));
        QCOMPARE(openDescriptors(pty.path), 1);
        pty.send("$GPGSV,1,1\r\n");
        QVERIFY(window.waitForNotification());
        QCOMPARE(window.gpsTime(), QString());
        pty.send("$GNRMC,202020,A\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "20:20:20", kWaitMs);
    }

    // The exit button, the title bar and the end of the session all close the port.
    void everyWayOutClosesThePort_data() {
        QTest::addColumn<QString>("way");
        for (const char *way : {"SALIR DEL PROGRAMA", "title bar", "SIGTERM"}) {
            QTest::newRow(way) << way;
        }
    }
    void everyWayOutClosesThePort() {
        QFETCH(QString, way);
        PseudoTerminal pty;
        PtyWindow window(pty);
        closeOnTerminationSignals(window.form);
        window.connectAt("2", "9600");
        QVERIFY(!pty.hungUp());
        if (way == "SIGTERM") {
            ::raise(SIGTERM); // as the session does at logout
        } else if (way == "title bar") {
            window.form.close();
        } else {
            window.click("Command2");
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window.form.isVisible(), kWaitMs);
        QVERIFY(pty.hungUp());
        QCOMPARE(openDescriptors(pty.path), 0);
        QVERIFY(!window.failed());
    }

    void receiverUnpluggedMidSentence() {
        PseudoTerminal receiver;
        PtyWindow window({receiver.entry()});
        window.connectAt("1", "4800");
        receiver.send("$GPRMC,111111,A\r\n$GPGGA,1212");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "11:11:11", kWaitMs);

        receiver.closeMaster();
        const double cpuBefore = processCpuSeconds();
        QTest::qWait(1000);
        const double cpuUsed = processCpuSeconds() - cpuBefore;
        QVERIFY2(cpuUsed < 0.5, "the event loop spins on the dead line");
        QVERIFY(!window.comm.portOpen());
        QCOMPARE(window.gpsTime(), "11:11:11");
        QVERIFY(window.messages.shown.empty() && !window.failed());

        // Plugged in again, it comes back as a new device under the same port number. The cut
        // sentence still held goes with the first sentence after it; the next one shows.
        PseudoTerminal back;
        window.ports = {back.entry()};
        window.connectAt("1", "4800");
        QCOMPARE(openDescriptors(back.path), 1);
        back.send("$GPRMC,121212,A\r\n$GPRMC,121213,A\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "12:12:13", kWaitMs);
    }

    // An hour each at 115200 baud, received at a wrong setting: noise without any "$", then
    // noise full of "$" that never ends a sentence. What is held stays bounded, and the
    // receiver's sentences show once they come through.
    void hoursOfNoiseThenSentences() {
        constexpr qint64 kHourAt115200 = qint64{115200} / 10 * 3600;
        PseudoTerminal receiver;
        PtyWindow window({receiver.entry()});
        window.connectAt("1", "115200");
        const qint64 residentBefore = statusKiB("VmRSS");
        const QByteArray sentences = "$GPRMC,131313,A\r\n$GPGGA,131314,x\r\n";
        QCOMPARE(flood(receiver, noiseWithout('$'), kHourAt115200), kHourAt115200);
        QCOMPARE(flood(receiver, noiseWithout('\r'), kHourAt115200), kHourAt115200);
        receiver.send(sentences);
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "13:13:14", kWaitMs);
        QVERIFY2(statusKiB("VmHWM") - residentBefore < 64 * 1024,
                 "what is held grows with the noise");
    }

    // One receiver second, GGA to VTG, in one read shows after one notification; two held up
    // together show the later one, again after one.
    void wholeSecondsInOneRead() {
        PseudoTerminal receiver;
        PtyWindow window({receiver.entry()});
        window.connectAt("1", "4800");
        const auto second = [](const char *hhmmss) {
            return QByteArray("$GPGGA,") + hhmmss +
                   ".000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                   "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n"
                   "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n"
                   "$GPRMC," +
                   hhmmss +
                   ".000,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"
                   "$GPVTG,084.4,T,,M,022.4,N,041.5,K*43\r\n";
        };
        receiver.send(second("123519"));
        QVERIFY(window.waitForNotification());
        QCOMPARE(window.notifications, 1);
        QCOMPARE(window.gpsTime(), "12:35:19");
        receiver.send(second("123520") + second("123521"));
        QVERIFY(window.waitForNotification());
        QCOMPARE(window.notifications, 2);
        QCOMPARE(window.gpsTime(), "12:35:21");
    }

    void manyConnectsLeakNoDescriptor() {
        PseudoTerminal receiver;
        PtyWindow window({receiver.entry()});
        const int before = openDescriptors();
        for (int i = 0; i < 2000 && !window.failed(); ++i) {
            window.click("Command1");
        }
        QVERIFY(!window.failed());
        QCOMPARE(openDescriptors(receiver.path), 1);
        window.click("Command2");
        QCOMPARE(openDescriptors(), before);
    }
};

QTEST_MAIN(SerialTest)
#include "serial_test.moc"
