#include "private_bus.h"

#include <QFile>

namespace cronalba::testing {

namespace {

constexpr int kStartTimeoutMs = 10'000;

QString configFor(const QString &socketDir) {
    return QStringLiteral(
               R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
        .arg(socketDir);
}

} // namespace

PrivateBus::PrivateBus() {
    if (!m_dir.isValid()) {
        return;
    }
    const QString configPath = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(configFor(m_dir.path()).toUtf8()) < 0) {
        return;
    }
    config.close();

    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                    QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted(kStartTimeoutMs)) {
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(kStartTimeoutMs)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

QString PrivateBus::errorOutput() {
    return QString::fromLocal8Bit(m_daemon.readAllStandardError()) + m_daemon.errorString();
}

PrivateBus::~PrivateBus() {
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished(kStartTimeoutMs);
    }
}

QDBusConnection PrivateBus::connect(const QString &connectionName) const {
    return QDBusConnection::connectToBus(m_address, connectionName);
}

} // namespace cronalba::testing
