#include "os_clock_linux.h"

#include <QDBusError>
#include <QDBusMessage>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

namespace cronalba {

namespace {

const QString kTimedateService = QStringLiteral("org.freedesktop.timedate1");
const QString kTimedatePath = QStringLiteral("/org/freedesktop/timedate1");

const QString kNotChanged = QStringLiteral("No se ha cambiado la hora del ordenador.");

QString invalidTimeMessage() {
    return QStringLiteral("La hora pedida no existe hoy en la zona horaria del ordenador "
                          "(quizá por el cambio de horario de verano). ") +
           kNotChanged;
}

QString kernelRefusalMessage(int error) {
    if (error == EPERM) {
        return QStringLiteral("El sistema no permite a este usuario cambiar la hora del ordenador "
                              "(hace falta ser administrador o tener el permiso CAP_SYS_TIME). ") +
               kNotChanged +
               QStringLiteral("\n\nEjecute Cronalba como administrador (root) y vuelva a "
                              "intentarlo.");
    }
    return QStringLiteral("El sistema no ha podido cambiar la hora del ordenador (%1). ")
               .arg(QString::fromLocal8Bit(std::strerror(error))) +
           kNotChanged;
}

bool isServiceAbsent(const QDBusError &error) {
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
        return true;
    default:
        return error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
    }
}

QString serviceRefusalMessage(const QDBusError &error) {
    const QString name = error.name();
    if (name == QLatin1String("org.freedesktop.timedate1.AutomaticTimeSyncEnabled")) {
        return QStringLiteral("La sincronización automática de la hora está activada y el "
                              "sistema no deja cambiar la hora a mano. ") +
               kNotChanged +
               QStringLiteral("\n\nDesactive la sincronización automática de la hora "
                              "(timedatectl set-ntp false) y vuelva a intentarlo.");
    }
    if (name == QLatin1String("org.freedesktop.PolicyKit1.Error.NotAuthorized") ||
        name == QLatin1String("org.freedesktop.PolicyKit1.Error.Cancelled") ||
        name == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired") ||
        error.type() == QDBusError::AccessDenied) {
        return QStringLiteral("No se ha autorizado el cambio de hora: falta permiso o se canceló "
                              "la petición de contraseña. ") +
               kNotChanged +
               QStringLiteral("\n\nVuelva a pulsar \"Sincronizar Hora\" e introduzca la "
                              "contraseña de un administrador cuando se la pida el sistema.");
    }
    if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout ||
        error.type() == QDBusError::TimedOut) {
        return QStringLiteral("El servicio de hora del sistema no ha respondido a tiempo. ") +
               kNotChanged + QStringLiteral("\n\nVuelva a intentarlo.");
    }
    return QStringLiteral("El servicio de hora del sistema no ha cambiado la hora (%1: %2). ")
               .arg(name, error.message()) +
           kNotChanged;
}

} // namespace

int shiftRealtimeClock(std::chrono::microseconds shift) {
    using namespace std::chrono;
    timespec current{};
    if (clock_gettime(CLOCK_REALTIME, &current) != 0) {
        return errno;
    }
    const auto target = seconds(current.tv_sec) + nanoseconds(current.tv_nsec) + shift;
    const auto wholeSeconds = floor<seconds>(target);
    timespec wanted{};
    wanted.tv_sec = static_cast<time_t>(wholeSeconds.count());
    wanted.tv_nsec = static_cast<long>(duration_cast<nanoseconds>(target - wholeSeconds).count());
    return clock_settime(CLOCK_REALTIME, &wanted) == 0 ? 0 : errno;
}

KernelClock::KernelClock(ClockShifter shifter)
    : m_shifter(std::move(shifter)) {}

ClockSetResult KernelClock::setTimeOfDay(QTime newTime, const QDateTime &requestedAt) {
    const auto shift = clockShift(newTime, requestedAt);
    if (!shift) {
        return {false, invalidTimeMessage()};
    }
    // Relative like the time service's change: the moments since the click don't count.
    const int error = m_shifter(*shift);
    if (error != 0) {
        return {false, kernelRefusalMessage(error)};
    }
    return {true, {}};
}

TimedatedClock::TimedatedClock(BusConnector bus, std::unique_ptr<OsClock> fallback,
                               std::chrono::milliseconds replyTimeout)
    : m_bus(std::move(bus))
    , m_fallback(std::move(fallback))
    , m_replyTimeout(replyTimeout) {}

ClockSetResult TimedatedClock::setTimeOfDay(QTime newTime, const QDateTime &requestedAt) {
    const auto shift = clockShift(newTime, requestedAt);
    if (!shift) {
        return {false, invalidTimeMessage()};
    }

    QDBusMessage call = QDBusMessage::createMethodCall(kTimedateService, kTimedatePath,
                                                       kTimedateService, QStringLiteral("SetTime"));
    const bool relative = true;
    const bool interactive = true; // lets the system ask the user for a password
    call << static_cast<qint64>(shift->count()) << relative << interactive;
    call.setInteractiveAuthorizationAllowed(true);

    // Blocks the window while the system asks for a password, as long as it takes within the
    // timeout; the relative change keeps the result right however long that is.
    const QDBusMessage reply =
        m_bus().call(call, QDBus::Block, static_cast<int>(m_replyTimeout.count()));
    if (reply.type() != QDBusMessage::ErrorMessage) {
        return {true, {}};
    }
    const QDBusError error(reply);
    if (isServiceAbsent(error)) {
        return m_fallback->setTimeOfDay(newTime, requestedAt);
    }
    return {false, serviceRefusalMessage(error)};
}

} // namespace cronalba
