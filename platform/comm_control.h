#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

namespace cronalba {

// The serial communications control, comNMEA: a port chosen by number, opened with a settings
// text, whose received bytes are read as text. Every setter reports whether it worked.
class CommControl : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // "speed,parity,data bits,stop bits", e.g. "4800,n,8,1". Applied at once when the port is
    // open, else when it opens.
    virtual bool setSettings(const QString &settings) = 0;
    // The port number, 1 for the first port; only while the port is closed.
    virtual bool setCommPort(std::int16_t port) = 0;
    // Opens or closes the port set by setCommPort with the last settings.
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    // Every byte received and not yet read, one character per byte; empty when none waits.
    virtual QString input() = 0;
    // How port numbers map to the system's ports, for the user (Spanish).
    virtual QString portNumbering() const = 0;

signals:
    // Raised on the owner's thread when received bytes are waiting, and on line errors.
    void onComm();
};

} // namespace cronalba
