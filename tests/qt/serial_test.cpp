// The window over the real serial control, with pseudo-terminals standing for receivers: the
// test writes NMEA text into a master side and reads its line settings. A second speed, the
// ways the port closes, and the faults of a real line: a receiver unplugged, hours of noise,
// many connects.
#include "fakes.h"
#include "form1_window.h"
#include "quit_on_signal.h"
#include "serial_port_control.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <csignal>
#include <ctime>
#include <numeric>
#include <utility>

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
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
    speed_t speed() const {
        termios settings{};
        tcgetattr(master, &settings);
        return cfgetospeed(&settings);
    }
    void closeMaster() { ::close(std::exchange(master, -1)); }
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

    std::vector<SerialPortEntry> ports;
    SerialPortControl comm{[this] { return ports; }};
    FakeClock clock;
    FakeMessages messages;
    FakeProgramEnd programEnd;
    Form1Window form{{comm, clock, messages, programEnd}};
    int notifications = 0; // comNMEA's, so far
};

// The peak of this process's resident memory so far, in KiB.
long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// 64 KiB of every byte value but one, over and over.
QByteArray noiseWithout(char excluded) {
    QByteArray bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    return bytes.removeIf([excluded](char c) { return c == excluded; }).repeated(257);
}

// Writes pattern over and over into the receiver, as fast as the window takes it, until size
// bytes are in.
void flood(const PseudoTerminal &receiver, const QByteArray &pattern, qint64 size) {
    fcntl(receiver.master, F_SETFL, fcntl(receiver.master, F_GETFL) | O_NONBLOCK);
    for (qint64 sent = 0; sent < size;) {
        const qint64 at = sent % pattern.size();
        const auto piece = static_cast<size_t>(std::min(size - sent, pattern.size() - at));
        if (const ssize_t written = ::write(receiver.master, pattern.constData() + at, piece);
            written > 0) {
            sent += written;
        } else {
            QCOMPARE(errno, EAGAIN);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50); // the window reads
        }
    }
}

} // namespace

class SerialTest : public QObject {
    Q_OBJECT

private slots:
    // A second connect at a typed speed leaves one port open at that speed, and the display
    // empty until a time comes at it; a whole receiver second, GGA to VTG, that arrives at once
    // is handled in one notification.
    void aSecondSpeedThenAWholeSecond() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        window.connectAt("2", "4800");
        QCOMPARE(pty.speed(), speed_t(B4800));
        pty.send("noise$GPRMC,235959.6,A\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "00:00:00", kWaitMs);

        window.connectAt("2", "38400");
        QVERIFY(!window.failed());
        QCOMPARE(window.gpsTime(), QString());
        QCOMPARE(pty.speed(), speed_t(B38400));
        QCOMPARE(openDescriptors(pty.path), 1);
        window.notifications = 0;
        pty.send("$GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                 "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n"
                 "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n"
                 "$GPRMC,123520.000,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"
                 "$GPVTG,084.4,T,,M,022.4,N,041.5,K*43\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.notifications, 1, kWaitMs);
        QCOMPARE(window.gpsTime(), "12:35:20");
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
        QCOMPARE(openDescriptors(pty.path), 1);
        if (way == "SIGTERM") {
            ::raise(SIGTERM); // as the session does at logout
        } else if (way == "title bar") {
            window.form.close();
        } else {
            window.click("Command2");
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window.form.isVisible(), kWaitMs);
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
        const std::clock_t cpuBefore = std::clock();
        QTest::qWait(1000);
        QVERIFY2(std::clock() - cpuBefore < CLOCKS_PER_SEC / 2,
                 "the event loop spins on the dead line");
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
        const long peakBefore = peakResidentKiB();
        const QByteArray sentences = "$GPRMC,131313,A\r\n$GPGGA,131314,x\r\n";
        flood(receiver, noiseWithout('$'), kHourAt115200);
        flood(receiver, noiseWithout('\r'), kHourAt115200);
        receiver.send(sentences);
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "13:13:14", kWaitMs);
        QVERIFY2(peakResidentKiB() - peakBefore < 64L * 1024, "what is held grows with the noise");
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
