// Faults of a real receiver line, through a pseudo-terminal and the real serial control: the
// receiver unplugged, hours of noise at a wrong speed, a whole second in one read and many
// connects in a row.
#include "pseudo_terminal.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <random>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace cronalba;
using namespace cronalba::testing;

namespace {

constexpr int kWaitMs = 5000;

double processCpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

// A figure of /proc/self/status in KiB, such as "VmRSS" (resident now) or "VmHWM" (its peak).
qint64 statusKiB(const QByteArray &field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':')) {
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

// 64 KiB of noise drawn from every byte value but the excluded ones.
QByteArray noise(std::initializer_list<char> excluded) {
    QByteArray bytes(qsizetype{64} * 1024, '\0');
    std::minstd_rand random(20240301);
    for (char &byte : bytes) {
        do {
            byte = static_cast<char>(random() & 0xFF);
        } while (std::find(excluded.begin(), excluded.end(), byte) != excluded.end());
    }
    return bytes;
}

// Writes into the pseudo-terminal's master side from a thread of its own, as fast as the
// terminal takes it, while the test's thread runs the window's event loop.
class Flood {
public:
    struct Part {
        QByteArray pattern; // repeated up to size bytes
        qint64 size;
    };

    Flood(int masterDescriptor, QList<Part> parts)
        : master(nonBlocking(masterDescriptor))
        , writer([this, parts = std::move(parts)](const std::stop_token &stop) {
            for (const Part &part : parts) {
                for (qint64 left = part.size; left > 0 && !stop.stop_requested();) {
                    const qint64 offset = (part.size - left) % part.pattern.size();
                    const qint64 chunk = std::min(left, part.pattern.size() - offset);
                    const qint64 written =
                        writeSome(part.pattern.constData() + offset, chunk, stop);
                    if (written < 0) {
                        return;
                    }
                    left -= written;
                    total += written;
                }
            }
        }) {}

    qint64 bytesWritten() const { return total; }
    void join() { writer.join(); }

private:
    static int nonBlocking(int descriptor) {
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) | O_NONBLOCK);
        return descriptor;
    }

    // Waits for room and writes what fits; -1 when stopped or the line broke.
    qint64 writeSome(const char *bytes, qint64 size, const std::stop_token &stop) const {
        while (!stop.stop_requested()) {
            const ssize_t written = ::write(master, bytes, static_cast<size_t>(size));
            if (written >= 0) {
                return written;
            }
            if (errno != EAGAIN && errno != EINTR) {
                return -1;
            }
            pollfd room{master, POLLOUT, 0};
            ::poll(&room, 1, 100);
        }
        return -1;
    }

    int master;
    std::atomic<qint64> total = 0;
    std::jthread writer; // last: starts once the members it uses are there, stops first
};

} // namespace

class TtyFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void receiverUnpluggedMidSentence() {
        PseudoTerminal receiver;
        PtyWindow window({{devicePath(receiver.slavePath), u"receptor"}});
        window.connectAt("1", "4800");
        QVERIFY(!window.failed());
        receiver.send("$GPRMC,111111,A\r\n$GPGGA,1212");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "11:11:11", kWaitMs);

        receiver.closeMaster();
        const double cpuBefore = processCpuSeconds();
        QTest::qWait(1000);
        const double cpuUsed = processCpuSeconds() - cpuBefore;
        qInfo("CPU time in the second after the hang-up: %.3f s", cpuUsed);
        QVERIFY2(cpuUsed < 0.5, "the event loop spins on the dead line");
        QVERIFY(!window.comm.portOpen());
        QCOMPARE(window.gpsTime(), "11:11:11");
        QVERIFY(window.messages.shown.empty());
        QVERIFY(!window.failed());

        // Plugged in again, it comes back as a new device under the same port number.
        PseudoTerminal back;
        window.ports = {{devicePath(back.slavePath), u"receptor"}};
        window.connectAt("1", "4800");
        QVERIFY(!window.failed());
        QCOMPARE(window.gpsTime(), QString());
        QCOMPARE(openDescriptors(back.slavePath), 1);
        // The cut sentence still held goes with the first sentence after it; a receiver's
        // next second shows.
        back.send("$GPRMC,121212,A\r\n$GPRMC,121213,A\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "12:12:13", kWaitMs);
    }

    // An hour each at 115200 baud, received at a wrong setting: first noise without any "$",
    // then noise full of "$" that never ends a sentence. What is held stays bounded, and the
    // receiver's sentences show once they come through.
    void hourOfNoiseThenSentences() {
        constexpr qint64 kHourAt115200 = qint64{115200} / 10 * 3600;
        constexpr qint64 kGrowthLimitKiB = qint64{64} * 1024;
        PseudoTerminal receiver;
        PtyWindow window({{devicePath(receiver.slavePath), u"receptor"}});
        window.connectAt("1", "115200");
        QVERIFY(!window.failed());
        const qint64 residentBefore = statusKiB("VmRSS");

        const QByteArray sentences = "$GPRMC,131313,A\r\n$GPGGA,131314,x\r\n";
        QElapsedTimer wall;
        wall.start();
        Flood flood(receiver.masterDescriptor(), {{noise({'$'}), kHourAt115200},
                                                  {noise({'\r'}), kHourAt115200},
                                                  {sentences, sentences.size()}});
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "13:13:14", 240'000);
        flood.join();
        const qint64 growth = statusKiB("VmHWM") - residentBefore;
        qInfo("%lld bytes in %lld ms; peak resident growth %lld KiB", flood.bytesWritten(),
              wall.elapsed(), growth);
        QCOMPARE(flood.bytesWritten(), 2 * kHourAt115200 + sentences.size());
        QVERIFY2(growth < kGrowthLimitKiB, "what is held grows with the noise");
        QVERIFY(window.comm.portOpen());
    }

    // One receiver second, GGA to VTG, arrives in one read: the display shows it at once.
    void wholeSecondInOneRead() {
        PseudoTerminal receiver;
        PtyWindow window({{devicePath(receiver.slavePath), u"receptor"}});
        window.connectAt("1", "4800");

        const auto second = [](const char *hhmmss) {
            return QByteArray("$GPGGA,") + hhmmss +
                   ".000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                   "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n"
                   "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n"
                   "$GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*74\r\n"
                   "$GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00,,,,*4D\r\n"
                   "$GPRMC," +
                   hhmmss +
                   ".000,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"
                   "$GPVTG,084.4,T,,M,022.4,N,041.5,K*43\r\n";
        };
        receiver.send(second("123519"));
        QVERIFY(window.waitForNotification(kWaitMs));
        QCOMPARE(window.notifications, 1);
        QCOMPARE(window.gpsTime(), "12:35:19");

        // Two seconds held up together: the later one shows, again with no further notice.
        receiver.send(second("123520") + second("123521"));
        QVERIFY(window.waitForNotification(kWaitMs));
        QCOMPARE(window.notifications, 2);
        QCOMPARE(window.gpsTime(), "12:35:21");
    }

    void manyConnectsLeakNoDescriptor() {
        constexpr int kConnects = 2000;
        PseudoTerminal receiver;
        PtyWindow window({{devicePath(receiver.slavePath), u"receptor"}});
        auto *connectButton = window.form.findChild<QPushButton *>("Command1");
        const int before = openDescriptorCount();

        for (int i = 0; i < kConnects && !window.failed(); ++i) {
            connectButton->click();
        }
        QVERIFY(!window.failed());
        QCOMPARE(openDescriptors(receiver.slavePath), 1); // with its lock file beside it
        window.click("Command2");
        QCOMPARE(openDescriptorCount(), before);
    }
};

QTEST_MAIN(TtyFaultsTest)
#include "tty_faults_test.moc"
