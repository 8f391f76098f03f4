#include "private_bus.h"
#include "timedated_clock.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>

namespace cronalba {
namespace {

using std::chrono::hours;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::minutes;
using std::chrono::seconds;

const QString kService = QStringLiteral("org.freedesktop.timedate1");
const QString kPath = QStringLiteral("/org/freedesktop/timedate1");

// A day without a change of daylight saving time in the zone these tests run in.
const QDateTime kNoon(QDate(2024, 1, 15), QTime(12, 0), Qt::LocalTime);

Moment momentOf(const QDateTime &time) {
    return Moment(milliseconds(time.toMSecsSinceEpoch()));
}

// What the stand-in time service was asked.
struct SetTimeCall {
    QString signature;
    qint64 usecUtc = 0;
    bool relative = false;
    bool interactive = false;
    bool interactiveAuthorizationAllowed = false;
};

// Stands in for the system's time service: records SetTime and answers it, with an error when
// told to. Lives on a thread of its own, so it answers while the caller blocks.
class TimedateStandIn : public QDBusVirtualObject {
public:
    void refuseWith(const QString &errorName, const QString &errorText) {
        const std::scoped_lock lock(m_mutex);
        m_errorName = errorName;
        m_errorText = errorText;
    }
    void neverAnswer() {
        const std::scoped_lock lock(m_mutex);
        m_silent = true;
    }
    std::optional<SetTimeCall> lastCall() const {
        const std::scoped_lock lock(m_mutex);
        return m_lastCall;
    }

    QString introspect(const QString & /*path*/) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override {
        if (message.interface() != kService || message.member() != QLatin1String("SetTime")) {
            return false;
        }
        const std::scoped_lock lock(m_mutex);
        const QVariantList arguments = message.arguments();
        SetTimeCall call;
        call.signature = message.signature();
        if (arguments.size() == 3) {
            call.usecUtc = arguments[0].toLongLong();
            call.relative = arguments[1].toBool();
            call.interactive = arguments[2].toBool();
        }
        call.interactiveAuthorizationAllowed = message.isInteractiveAuthorizationAllowed();
        m_lastCall = call;
        if (!m_silent) {
            connection.send(m_errorName.isEmpty()
                                ? message.createReply()
                                : message.createErrorReply(m_errorName, m_errorText));
        }
        return true;
    }

private:
    mutable std::mutex m_mutex;
    QString m_errorName;
    QString m_errorText;
    bool m_silent = false;
    std::optional<SetTimeCall> m_lastCall;
};

// What reached the direct setter.
struct FallbackCalls {
    int count = 0;
    TimeOfDay newTime;
    Moment requestedAt;
};

// Records what reaches the direct setter instead of setting anything.
class FakeFallbackClock : public ComputerClock {
public:
    explicit FakeFallbackClock(FallbackCalls &calls)
        : m_calls(calls) {}

    ClockReading now() const override { return {momentOf(kNoon), {12, 0, 0}}; }
    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt) override {
        ++m_calls.count;
        m_calls.newTime = newTime;
        m_calls.requestedAt = requestedAt;
        return {ClockOutcome::Failed, u"respuesta del respaldo"};
    }

private:
    FallbackCalls &m_calls;
};

class TimedatedClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_bus.address().isEmpty())
            << "dbus-daemon didn't start: " << m_bus.errorOutput().toStdString();
        m_client = m_bus.connect(QStringLiteral("client"));
        ASSERT_TRUE(m_client.isConnected());
    }

    void TearDown() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        m_standInThread.quit();
        m_standInThread.wait();
    }

    // Puts the stand-in on the bus under the time service's name.
    void startStandIn() {
        QDBusConnection service = m_bus.connect(QStringLiteral("service"));
        ASSERT_TRUE(service.isConnected());
        m_standIn.moveToThread(&m_standInThread);
        m_standInThread.start();
        ASSERT_TRUE(service.registerVirtualObject(kPath, &m_standIn));
        ASSERT_TRUE(service.registerService(kService));
    }

    ClockSetResult setTimeOfDay(TimeOfDay newTime, const QDateTime &requestedAt,
                                milliseconds replyTimeout = seconds(5)) {
        TimedatedClock clock([this] { return m_client; },
                             std::make_unique<FakeFallbackClock>(m_fallback), replyTimeout);
        return clock.setTimeOfDay(newTime, momentOf(requestedAt));
    }

    testing::PrivateBus m_bus;
    QDBusConnection m_client{QString()};
    QThread m_standInThread;
    TimedateStandIn m_standIn;
    FallbackCalls m_fallback;
};

TEST_F(TimedatedClockTest, AsksTheServiceForTheChangeSinceTheClickInteractively) {
    startStandIn();
    const struct {
        TimeOfDay newTime;
        QDateTime requestedAt;
        microseconds expectedShift;
    } cases[] = {
        {{14, 35, 19}, kNoon, hours(2) + minutes(35) + seconds(19)},
        {{7, 35, 19},
         kNoon.addMSecs(250),
         -(hours(4) + minutes(24) + seconds(41) + milliseconds(250))},
        {{12, 0, 0}, kNoon, microseconds(0)},
        // The date stays the one of the click, even a moment before midnight.
        {{0, 0, 1},
         QDateTime(QDate(2024, 1, 15), QTime(23, 59, 59)),
         -(hours(23) + minutes(59) + seconds(58))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.newTime.hours);
        const ClockSetResult result = setTimeOfDay(c.newTime, c.requestedAt);
        EXPECT_EQ(result.outcome, ClockOutcome::Done);
        const auto call = m_standIn.lastCall();
        ASSERT_TRUE(call);
        EXPECT_EQ(call->signature, QStringLiteral("xbb"));
        EXPECT_EQ(call->usecUtc, c.expectedShift.count());
        EXPECT_TRUE(call->relative);
        EXPECT_TRUE(call->interactive);
        EXPECT_TRUE(call->interactiveAuthorizationAllowed);
        EXPECT_EQ(m_fallback.count, 0);
    }
}

TEST_F(TimedatedClockTest, RefusalsReachTheUserInSpanish) {
    startStandIn();
    const struct {
        const char *errorName;
        const char *errorText;
        ClockOutcome outcome;
        const char16_t *detail;
    } cases[] = {
        {"org.freedesktop.timedate1.AutomaticTimeSyncEnabled",
         "Automatic time synchronization is enabled", ClockOutcome::AutomaticSyncOn, u""},
        {"org.freedesktop.PolicyKit1.Error.NotAuthorized", "Not authorized",
         ClockOutcome::NotAuthorized, u""},
        {"org.freedesktop.DBus.Error.AccessDenied", "Permission denied",
         ClockOutcome::NotAuthorized, u""},
        {"org.freedesktop.DBus.Error.InteractiveAuthorizationRequired", "Interactive required",
         ClockOutcome::NotAuthorized, u""},
        {"org.freedesktop.DBus.Error.Failed", "Failed to set time: Input/output error",
         ClockOutcome::Failed,
         u"org.freedesktop.DBus.Error.Failed: Failed to set time: Input/output error"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.errorName);
        m_standIn.refuseWith(QString::fromUtf8(c.errorName), QString::fromUtf8(c.errorText));
        const ClockSetResult result = setTimeOfDay({14, 35, 19}, kNoon);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(result.detail == c.detail);
        EXPECT_EQ(m_fallback.count, 0);
    }
}

TEST_F(TimedatedClockTest, AServiceThatNeverAnswersEndsInARefusalAfterTheTimeout) {
    startStandIn();
    m_standIn.neverAnswer();
    const ClockSetResult result = setTimeOfDay({14, 35, 19}, kNoon, milliseconds(200));
    EXPECT_EQ(result.outcome, ClockOutcome::NoReply);
    EXPECT_EQ(m_fallback.count, 0);
}

TEST_F(TimedatedClockTest, WithoutTheServiceOnTheBusTheDirectSetterDecides) {
    const QDateTime requestedAt = kNoon.addMSecs(123);
    const ClockSetResult result = setTimeOfDay({14, 35, 19}, requestedAt);
    ASSERT_EQ(m_fallback.count, 1);
    EXPECT_EQ(m_fallback.newTime, (TimeOfDay{14, 35, 19}));
    EXPECT_EQ(m_fallback.requestedAt, momentOf(requestedAt));
    EXPECT_TRUE(result.detail == u"respuesta del respaldo");
}

TEST(TimedatedClockWithoutBus, TheDirectSetterDecides) {
    const QDBusConnection noBus =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "none");
    ASSERT_FALSE(noBus.isConnected());
    FallbackCalls calls;
    TimedatedClock clock([&noBus] { return noBus; }, std::make_unique<FakeFallbackClock>(calls));
    clock.setTimeOfDay({14, 35, 19}, momentOf(kNoon));
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
    EXPECT_EQ(calls.count, 1);
}

TEST(KernelClock, MovesByTheChangeSinceTheClickAndExplainsRefusals) {
    const struct {
        int error;
        ClockOutcome outcome;
        const char16_t *detail;
    } cases[] = {
        {0, ClockOutcome::Done, u""},
        {EPERM, ClockOutcome::NotPermitted, u""},
        {EINVAL, ClockOutcome::Failed, u"Invalid argument"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error);
        std::optional<microseconds> shift;
        KernelClock clock([&](microseconds wanted) {
            shift = wanted;
            return c.error;
        });
        const ClockSetResult result =
            clock.setTimeOfDay({14, 35, 19}, momentOf(kNoon.addMSecs(500)));
        EXPECT_EQ(shift, hours(2) + minutes(35) + seconds(18) + milliseconds(500));
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(result.detail == c.detail);
    }
}

// The zone the tests run in (set in main) changes to summer time at 02:00 on 2024-03-31 and
// back at 03:00 on 2024-10-27.
TEST(ClockShift, FollowsTheZonesDaylightSavingRules) {
    if (kNoon.offsetFromUtc() != 3600) {
        GTEST_SKIP() << "the Europe/Madrid zone isn't installed";
    }
    const auto shift = [](int month, int day, TimeOfDay newTime) {
        return clockShift(newTime, momentOf(QDateTime(QDate(2024, month, day), QTime(1, 0))));
    };
    EXPECT_EQ(shift(3, 31, {5, 0, 0}), hours(3));
    EXPECT_EQ(shift(10, 27, {5, 0, 0}), hours(5));
    EXPECT_EQ(shift(6, 1, {5, 0, 0}), hours(4));
    EXPECT_FALSE(shift(3, 31, {2, 30, 0})) << "a time the change to summer time skips";
}

} // namespace
} // namespace cronalba

int main(int argc, char **argv) {
    // A zone with daylight saving time, the same wherever the tests run.
    setenv("TZ", "Europe/Madrid", 1);
    tzset();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
