#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace cronalba::testing {

// A D-Bus daemon of the test's own, with a session-like configuration: anyone may own any
// name and call anyone, and no service is started on demand. Gone with the object.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    // Empty when the daemon didn't start.
    QString address() const { return m_address; }

    // What the daemon said on its error output, to tell why it didn't start.
    QString errorOutput();

    // A new connection of its own to this bus.
    QDBusConnection connect(const QString &connectionName) const;

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

} // namespace cronalba::testing
