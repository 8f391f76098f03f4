#pragma once

#include "kernel_clock.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <chrono>
#include <functional>
#include <memory>

namespace cronalba {

// The bus to reach the time service on, connected when the clock is first set rather than at
// start.
using BusConnector = std::function<QDBusConnection()>;

// Sets the clock through the system's time service (org.freedesktop.timedate1), which asks a
// desktop user for a password when needed. The change is sent relative to the current time, so
// a slow password prompt doesn't make the clock late. Where the service isn't on the bus, the
// fallback sets the clock instead.
class TimedatedClock : public SystemClockBase {
public:
    static constexpr std::chrono::milliseconds kDefaultReplyTimeout = std::chrono::minutes(5);

    explicit TimedatedClock(
        BusConnector bus, std::unique_ptr<ComputerClock> fallback = std::make_unique<KernelClock>(),
        std::chrono::milliseconds replyTimeout = kDefaultReplyTimeout);

    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override;
    // Asks the service to stop synchronising the clock itself, as its SetNTP(false) does.
    ClockSetResult switchOffAutomaticTime() override;

private:
    // Calls method with arguments and the interactive flag; the reply, or the error instead.
    QDBusMessage callService(const QString &method, QVariantList arguments) const;

    BusConnector m_bus;
    std::unique_ptr<ComputerClock> m_fallback;
    std::chrono::milliseconds m_replyTimeout;
};

} // namespace cronalba
