#include "timedated_clock.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>

#include <utility>

namespace cronalba {

namespace {

const QString kTimedateService = QStringLiteral("org.freedesktop.timedate1");
const QString kTimedatePath = QStringLiteral("/org/freedesktop/timedate1");

ClockSetResult result(ClockOutcome outcome, const QString &detail = {}) {
    return {outcome, detail.toStdU16String()};
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

ClockSetResult serviceRefusal(const QDBusError &error) {
    const QString name = error.name();
    if (name == QLatin1String("org.freedesktop.timedate1.AutomaticTimeSyncEnabled")) {
        return result(ClockOutcome::AutomaticSyncOn);
    }
    if (name == QLatin1String("org.freedesktop.PolicyKit1.Error.NotAuthorized") ||
        name == QLatin1String("org.freedesktop.PolicyKit1.Error.Cancelled") ||
        name == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired") ||
        error.type() == QDBusError::AccessDenied) {
        return result(ClockOutcome::NotAuthorized);
    }
    if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout ||
        error.type() == QDBusError::TimedOut) {
        return result(ClockOutcome::NoReply);
    }
    return result(ClockOutcome::Failed, name + QStringLiteral(": ") + error.message());
}

} // namespace

TimedatedClock::TimedatedClock(BusConnector bus, std::unique_ptr<ComputerClock> fallback,
                               std::chrono::milliseconds replyTimeout)
    : m_bus(std::move(bus))
    , m_fallback(std::move(fallback))
    , m_replyTimeout(replyTimeout) {}

ClockSetResult TimedatedClock::setTimeOfDay(TimeOfDay newTime, Moment requestedAt) {
    const auto shift = clockShift(newTime, requestedAt);
    if (!shift) {
        return result(ClockOutcome::TimeSkipped);
    }

    // Waits while the system asks for a password, as long as it takes within the timeout; the
    // relative change keeps the result right however long that is.
    const bool relative = true;
    const QDBusMessage reply =
        callService(QStringLiteral("SetTime"), {static_cast<qint64>(shift->count()), relative});
    if (reply.type() != QDBusMessage::ErrorMessage) {
        return result(ClockOutcome::Done);
    }
    const QDBusError error(reply);
    if (isServiceAbsent(error)) {
        return m_fallback->setTimeOfDay(newTime, requestedAt);
    }
    return serviceRefusal(error);
}

ClockSetResult TimedatedClock::switchOffAutomaticTime() {
    const bool automatic = false;
    const QDBusMessage reply = callService(QStringLiteral("SetNTP"), {automatic});
    if (reply.type() != QDBusMessage::ErrorMessage) {
        return result(ClockOutcome::Done);
    }
    return serviceRefusal(QDBusError(reply));
}

QDBusMessage TimedatedClock::callService(const QString &method, QVariantList arguments) const {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kTimedateService, kTimedatePath, kTimedateService, method);
    const bool interactive = true; // lets the system ask the user for a password
    arguments << interactive;
    call.setArguments(arguments);
    call.setInteractiveAuthorizationAllowed(true);
    // The window goes on meanwhile, so that a click then is handled, and ignored, at once: left
    // waiting, it would start a second change after this one.
    QDBusPendingCall pending = m_bus().asyncCall(call, static_cast<int>(m_replyTimeout.count()));
    QDBusPendingCallWatcher watcher(pending);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!pending.isFinished()) { // a call that can't be sent has failed already
        loop.exec();
    }
    pending.waitForFinished(); // where the program is ending and the loop left early
    return pending.reply();
}

} // namespace cronalba
