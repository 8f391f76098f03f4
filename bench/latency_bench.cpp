// Latency from the end of a sentence on the wire to the GPS display showing its time: the real
// window over the real serial control, whose port 1 is a pseudo-terminal standing for the
// receiver, driven by the real event loop. With the argument "noise", instead, the memory the
// window holds through two hours of noise at 115200 baud, and whether the sentences after it
// still show. Prints the figures as key=value lines.
#include "form1_window.h"
#include "serial_port_control.h"
#include "system_clock.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace cronalba {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUpSentences = 200;
constexpr int kMeasuredSentences = 10'000;
constexpr int kSettleMs = 20;

// Reads the computer's clock but never sets it.
class ReadOnlyClock final : public SystemClockBase {
public:
    ClockSetResult setTimeOfDay(TimeOfDay /*newTime*/, Moment /*requestedAt*/) override {
        return {ClockOutcome::Failed, u"benchmark"};
    }
};

class SilentMessages final : public MessageDialog {
public:
    void show(TextView text, TextView /*title*/, MessageIcon /*icon*/) override {
        std::fprintf(
            stderr, "Mensaje: %s\n",
            qPrintable(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()))));
    }
    bool ask(TextView /*text*/, TextView /*title*/) override { return false; }
};

class ExitOnEnd final : public ProgramEnd {
public:
    void endNow(int exitStatus) override { std::exit(exitStatus); }
};

// The receiver's side of a pseudo-terminal; the program opens the other side by its path.
class Receiver {
public:
    Receiver() {
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
            std::perror("openpty");
            std::exit(1);
        }
        slavePath = QString::fromLocal8Bit(ttyname(slave));
    }
    ~Receiver() {
        close(slave);
        close(master);
    }
    Receiver(const Receiver &) = delete;
    Receiver &operator=(const Receiver &) = delete;

    void send(const QByteArray &bytes) const {
        for (qsizetype sent = 0; sent < bytes.size();) {
            const ssize_t written =
                write(master, bytes.data() + sent, static_cast<std::size_t>(bytes.size() - sent));
            if (written < 0 && errno != EINTR) {
                std::perror("write");
                std::exit(1);
            }
            sent += std::max<ssize_t>(written, 0);
        }
    }

    // Writes as much of bytes as the line takes now, without waiting; how much that was.
    qsizetype offer(const QByteArray &bytes) const {
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        const ssize_t written = write(master, bytes.data(), static_cast<std::size_t>(bytes.size()));
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) & ~O_NONBLOCK);
        return std::max<ssize_t>(written, 0);
    }

    QString slavePath;

private:
    int master = -1;
    int slave = -1; // held open so that the line stays up between the program's opens
};

// A GGA sentence at `second` seconds past midnight (wrapping at a day), so that each shows a
// new time, with its checksum as a receiver sends it.
QByteArray ggaAt(int second) {
    const int daySecond = second % 86'400;
    const QByteArray body =
        QString::asprintf(
            "GPGGA,%02d%02d%02d.00,4026.2543,N,00341.3105,W,1,08,0.9,667.0,M,51.6,M,,",
            daySecond / 3600, daySecond / 60 % 60, daySecond % 60)
            .toLatin1();
    unsigned checksum = 0;
    for (const char c : body) {
        checksum ^= static_cast<unsigned char>(c);
    }
    return '$' + body + '*' + QByteArray::number(checksum, 16).toUpper().rightJustified(2, '0') +
           "\r\n";
}

// The peak of this process's resident memory so far, in KiB.
long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Two hours at 115200 baud received at a wrong setting: noise full of "$" that never ends a
// sentence, written as fast as the window takes it, then two sentences.
void measureNoise(const Receiver &receiver, const QLabel &gpsTime) {
    constexpr qint64 kTwoHoursAt115200 = qint64{115200} / 10 * 7200;
    const QByteArray noise = QByteArray("$GP\x80\xff\n\0,", 9).repeated(7282);
    const long peakBefore = peakResidentKiB();
    const auto start = Clock::now();
    for (qint64 sent = 0; sent < kTwoHoursAt115200;) {
        sent += receiver.offer(noise);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50); // the window reads
    }
    receiver.send("$GPRMC,131313,A\r\n$GPGGA,131314,x\r\n");
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (gpsTime.text() != QStringLiteral("13:13:14") && Clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    std::printf("noise_mb=%.1f\n", static_cast<double>(kTwoHoursAt115200) / 1e6);
    std::printf("noise_seconds=%.1f\n",
                std::chrono::duration<double>(Clock::now() - start).count());
    std::printf("noise_peak_growth_kib=%ld\n", peakResidentKiB() - peakBefore);
    std::printf("noise_then_shown=%d\n", gpsTime.text() == QStringLiteral("13:13:14") ? 1 : 0);
}

double percentile(std::vector<double> sorted, double fraction) {
    const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1));
    return sorted[rank];
}

int run(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    Receiver receiver;
    SerialPortControl comNMEA([&receiver] {
        return std::vector<SerialPortEntry>{
            {receiver.slavePath.toStdU16String(), u"pseudoterminal"}};
    });
    ReadOnlyClock clock;
    SilentMessages messages;
    ExitOnEnd programEnd;
    Form1Window form({comNMEA, clock, messages, programEnd});
    form.show();

    auto *gpsTime = form.findChild<QLabel *>(QStringLiteral("lblTime_0"));
    form.findChild<QPushButton *>(QStringLiteral("Command1"))->click(); // port 1 at 4800
    if (argc > 1 && std::strcmp(argv[1], "noise") == 0) {
        measureNoise(receiver, *gpsTime);
        return 0;
    }

    // Notes the moment right after the window's own handler has set the display.
    std::optional<Clock::time_point> shownAt;
    QString shown = gpsTime->text();
    comNMEA.setOnComm([&] {
        form.behaviour().comNMEA_OnComm();
        if (gpsTime->text() != shown) {
            shown = gpsTime->text();
            shownAt = Clock::now();
        }
    });

    std::vector<double> microseconds;
    microseconds.reserve(kMeasuredSentences);
    for (int i = 0; i < kWarmUpSentences + kMeasuredSentences; ++i) {
        shownAt.reset();
        receiver.send(ggaAt(i));
        const auto sentAt = Clock::now();
        while (!shownAt) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        // A receiver sends about once a second, so each sentence finds the window idle: let
        // it repaint the display before the next one.
        QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
        if (i >= kWarmUpSentences) {
            microseconds.push_back(
                std::chrono::duration<double, std::micro>(*shownAt - sentAt).count());
        }
    }

    std::sort(microseconds.begin(), microseconds.end());
    std::printf("platform=%s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("window=%dx%d\n", form.width(), form.height());
    std::printf("sentences=%zu\n", microseconds.size());
    std::printf("median_us=%.1f\n", percentile(microseconds, 0.5));
    std::printf("p99_us=%.1f\n", percentile(microseconds, 0.99));
    std::printf("max_us=%.1f\n", microseconds.back());
    return 0;
}

} // namespace
} // namespace cronalba

int main(int argc, char *argv[]) {
    return cronalba::run(argc, argv);
}
