#include "pseudo_terminal.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <array>
#include <filesystem>
#include <iterator>

#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace cronalba::testing {

PseudoTerminal::PseudoTerminal() {
    int slave = -1;
    std::array<char, 256> name{};
    if (openpty(&master, &slave, name.data(), nullptr, nullptr) != 0) {
        qFatal("openpty failed");
    }
    slavePath = QString::fromLocal8Bit(name.data());
    ::close(slave);
}

void PseudoTerminal::send(const QByteArray &bytes) const {
    QCOMPARE(::write(master, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
}

speed_t PseudoTerminal::speed() const {
    termios settings{};
    tcgetattr(master, &settings);
    return cfgetospeed(&settings);
}

bool PseudoTerminal::hungUp() const {
    pollfd hangup{master, POLLIN, 0};
    return ::poll(&hangup, 1, 0) == 1 && (hangup.revents & POLLHUP) != 0;
}

void PseudoTerminal::closeMaster() {
    if (master >= 0) {
        ::close(master);
        master = -1;
    }
}

int openDescriptors(const QString &path) {
    int count = 0;
    const auto entries = QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System);
    for (const QFileInfo &entry : entries) {
        count += entry.symLinkTarget() == path ? 1 : 0;
    }
    return count;
}

int openDescriptorCount() {
    // The listing's own descriptor is open while it runs and counts in every call alike.
    const std::filesystem::directory_iterator descriptors("/proc/self/fd");
    return static_cast<int>(std::distance(begin(descriptors), end(descriptors)));
}

PtyWindow::PtyWindow(std::vector<SerialPortEntry> systemPorts)
    : ports(std::move(systemPorts))
    , comm([this] { return ports; })
    , form({comm, clock, messages, programEnd}) {
    comm.setOnComm([this] {
        ++notifications;
        form.behaviour().comNMEA_OnComm();
    });
    form.show();
}

PtyWindow::PtyWindow(const PseudoTerminal &pty)
    : PtyWindow({{devicePath(pty.slavePath), u"pseudo-terminal"},
                 {u"/dev/cronalba-missing0", u"no existe"}}) {}

void PtyWindow::connectAt(const QString &port, const QString &speed) {
    form.findChild<QComboBox *>("comPuerto")->setEditText(port);
    form.findChild<QComboBox *>("comBaudios")->setEditText(speed);
    click("Command1");
}

void PtyWindow::click(const char *button) {
    form.findChild<QPushButton *>(button)->click();
}

bool PtyWindow::waitForNotification(int timeoutMs) {
    const int before = notifications;
    QElapsedTimer waited;
    waited.start();
    while (notifications == before && waited.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return notifications > before;
}

Text devicePath(const QString &path) {
    return path.toStdU16String();
}

QString PtyWindow::gpsTime() const {
    return form.findChild<QLabel *>("lblTime_0")->text();
}

} // namespace cronalba::testing
