#include "system_clock.h"

#ifdef _WIN32
#include "os_clock_windows.h"
#else
#include "os_clock_linux.h"
#include <QDBusConnection>
#endif

namespace cronalba {

std::unique_ptr<OsClock> makeSystemClock() {
#ifdef _WIN32
    return std::make_unique<WindowsClock>();
#else
    return std::make_unique<TimedatedClock>(&QDBusConnection::systemBus);
#endif
}

std::optional<std::chrono::microseconds> clockShift(QTime newTime, const QDateTime &requestedAt) {
    if (!newTime.isValid() || !requestedAt.isValid()) {
        return std::nullopt;
    }
    const QDateTime target(requestedAt.toLocalTime().date(), newTime, Qt::LocalTime);
    if (!target.isValid()) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(requestedAt.msecsTo(target));
}

} // namespace cronalba
