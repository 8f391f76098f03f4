#pragma once

// A pseudo-terminal standing for a GPS receiver, and the window over the real serial control
// with pseudo-terminals among its ports.
#include "fakes.h"
#include "form1_window.h"
#include "serial_port_control.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <termios.h>

namespace cronalba::testing {

// A pseudo-terminal whose slave side nobody holds open until the program opens it. The test
// writes NMEA text into the master side and reads the line settings from it.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Writes all of bytes in one write.
    void send(const QByteArray &bytes) const;
    speed_t speed() const;
    // True once no one has the slave side open any more.
    bool hungUp() const;
    void closeMaster();
    int masterDescriptor() const { return master; }

    QString slavePath;

private:
    int master = -1;
};

// How many descriptors of this process are open on path.
int openDescriptors(const QString &path);
// How many descriptors this process has open.
int openDescriptorCount();

// A window over the real serial control whose ports are the entries of ports: a test may
// change them between connects, so that a new pseudo-terminal takes an old port number.
struct PtyWindow {
    explicit PtyWindow(std::vector<SerialPortEntry> systemPorts);
    // Port 2 is the pseudo-terminal; port 1 is a device that doesn't exist.
    explicit PtyWindow(const PseudoTerminal &pty);

    void connectAt(const QString &port, const QString &speed);
    void click(const char *button);
    QString gpsTime() const;
    bool failed() const { return programEnd.status.has_value(); }
    // Waits up to timeoutMs for comNMEA's next notification, which the window then handles;
    // true when it came.
    bool waitForNotification(int timeoutMs);

    std::vector<SerialPortEntry> ports;
    SerialPortControl comm;
    FakeClock clock;
    FakeMessages messages;
    FakeProgramEnd programEnd;
    Form1Window form;
    int notifications = 0; // comNMEA's, so far
};

// A path as the serial control's lister reports it.
Text devicePath(const QString &path);

} // namespace cronalba::testing
