// The Linux clock back ends. The time service is a stand-in on a session bus that
// dbus-run-session starts for these tests alone (see main); the direct setter is a fake here.
#include "timedated_clock.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDateTime>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>
#include <vector>

#include <unistd.h>

namespace cronalba {
namespace {

using namespace std::chrono;

const QString kService = QStringLiteral("org.freedesktop.timedate1");
const QString kPath = QStringLiteral("/org/freedesktop/timedate1");
// A day without a change of daylight saving time in the zone these tests run in.
const QDateTime kNoon(QDate(2024, 1, 15), QTime(12, 0), Qt::LocalTime);

Moment momentOf(const QDateTime &time) {
    return Moment(milliseconds(time.toMSecsSinceEpoch()));
}

// Stands in for the time service: records SetTime and answers it, with an error when told to.
// Lives on a thread of its own, so that it answers while the caller blocks.
class TimedateStandIn : public QDBusVirtualObject {
public:
    QString introspect(const QString & /*path*/) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override {
        const std::scoped_lock lock(mutex);
        last = message;
        if (!silent) {
            connection.send(errorName.isEmpty() ? message.createReply()
                                                : message.createErrorReply(errorName, "said so"));
        }
        return true;
    }

    std::mutex mutex;
    QString errorName;
    bool silent = false;
    QDBusMessage last;
};

// Records what reaches the direct setter instead of setting anything.
class FakeFallbackClock : public ComputerClock {
public:
    explicit FakeFallbackClock(std::optional<Moment> &requested)
        : asked(requested) {}
    ClockReading now() const override { return {}; }
    ClockSetResult setTimeOfDay(TimeOfDay /*newTime*/, Moment requestedAt) override {
        asked = requestedAt;
        return {ClockOutcome::Failed, u"el respaldo"};
    }

private:
    std::optional<Moment> &asked;
};

class TimedatedClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDBusConnection service =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "service");
        ASSERT_TRUE(service.isConnected()) << "run under dbus-run-session";
        standIn.moveToThread(&standInThread);
        standInThread.start();
        ASSERT_TRUE(service.registerVirtualObject(kPath, &standIn));
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("service");
        standInThread.quit();
        standInThread.wait();
    }

    void serviceOnTheBus() {
        ASSERT_TRUE(QDBusConnection(QStringLiteral("service")).registerService(kService));
    }

    ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt, milliseconds timeout = 5s) {
        TimedatedClock clock(&QDBusConnection::sessionBus,
                             std::make_unique<FakeFallbackClock>(fallbackAsked), timeout);
        return clock.setTimeOfDay(newTime, requestedAt);
    }

    QThread standInThread;
    TimedateStandIn standIn;
    std::optional<Moment> fallbackAsked;
};

TEST_F(TimedatedClockTest, AsksTheServiceForTheChangeSinceTheClickInteractively) {
    serviceOnTheBus();
    const struct {
        TimeOfDay newTime;
        QDateTime requestedAt;
        microseconds shift;
    } cases[] = {
        {{14, 35, 19}, kNoon, 2h + 35min + 19s},
        {{7, 35, 19}, kNoon.addMSecs(250), -(4h + 24min + 41s + 250ms)},
        // The date stays the one of the click, even a moment before midnight.
        {{0, 0, 1}, QDateTime(QDate(2024, 1, 15), QTime(23, 59, 59)), -(23h + 59min + 58s)},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(setTimeOfDay(c.newTime, momentOf(c.requestedAt)).outcome, ClockOutcome::Done);
        const std::scoped_lock lock(standIn.mutex);
        EXPECT_EQ(standIn.last.member(), "SetTime");
        EXPECT_EQ(standIn.last.arguments(), (QVariantList{qint64(c.shift.count()), true, true}));
        EXPECT_TRUE(standIn.last.isInteractiveAuthorizationAllowed());
    }
    EXPECT_FALSE(fallbackAsked);
}

TEST_F(TimedatedClockTest, RefusalsComeBackAsReasons) {
    serviceOnTheBus();
    const std::pair<const char *, ClockOutcome> cases[] = {
        {"org.freedesktop.timedate1.AutomaticTimeSyncEnabled", ClockOutcome::AutomaticSyncOn},
        {"org.freedesktop.PolicyKit1.Error.NotAuthorized", ClockOutcome::NotAuthorized},
        {"org.freedesktop.DBus.Error.AccessDenied", ClockOutcome::NotAuthorized},
        {"org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
         ClockOutcome::NotAuthorized},
        {"org.freedesktop.DBus.Error.Failed", ClockOutcome::Failed},
    };
    for (const auto &[errorName, outcome] : cases) {
        standIn.errorName = QString::fromLatin1(errorName);
        EXPECT_EQ(setTimeOfDay({14, 35, 19}, momentOf(kNoon)).outcome, outcome) << errorName;
    }
    EXPECT_TRUE(setTimeOfDay({14, 35, 19}, momentOf(kNoon)).detail ==
                u"org.freedesktop.DBus.Error.Failed: said so");
    standIn.silent = true;
    EXPECT_EQ(setTimeOfDay({14, 35, 19}, momentOf(kNoon), 200ms).outcome, ClockOutcome::NoReply);
    EXPECT_FALSE(fallbackAsked);
}

TEST_F(TimedatedClockTest, WithoutTheServiceTheDirectSetterDecides) {
    const Moment requestedAt = momentOf(kNoon.addMSecs(123));
    EXPECT_TRUE(setTimeOfDay({14, 35, 19}, requestedAt).detail == u"el respaldo");
    EXPECT_EQ(fallbackAsked, requestedAt);
}

TEST(KernelClock, MovesByTheChangeSinceTheClickAndGivesTheReasonOfARefusal) {
    const struct {
        int error;
        ClockOutcome outcome;
        const char16_t *detail;
    } cases[] = {{0, ClockOutcome::Done, u""},
                 {EPERM, ClockOutcome::NotPermitted, u""},
                 {EINVAL, ClockOutcome::Failed, u"Invalid argument"}};
    for (const auto &c : cases) {
        std::optional<microseconds> shift;
        KernelClock clock([&](microseconds wanted) {
            shift = wanted;
            return c.error;
        });
        const ClockSetResult result =
            clock.setTimeOfDay({14, 35, 19}, momentOf(kNoon.addMSecs(500)));
        EXPECT_EQ(shift, 2h + 35min + 18s + 500ms);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(result.detail == c.detail);
    }
}

// The zone the tests run in (set in main) changes to summer time at 02:00 on 2024-03-31 and
// back at 03:00 on 2024-10-27.
TEST(ClockShift, FollowsTheZonesDaylightSavingRules) {
    ASSERT_EQ(kNoon.offsetFromUtc(), 3600) << "the Europe/Madrid zone (tzdata) is missing";
    const auto shift = [](int month, int day, TimeOfDay newTime) {
        return clockShift(newTime, momentOf(QDateTime(QDate(2024, month, day), QTime(1, 0))));
    };
    EXPECT_EQ(shift(3, 31, {5, 0, 0}), 3h);
    EXPECT_EQ(shift(10, 27, {5, 0, 0}), 5h);
    EXPECT_EQ(shift(6, 1, {5, 0, 0}), 4h);
    EXPECT_FALSE(shift(3, 31, {2, 30, 0})) << "a time the change to summer time skips";
}

} // namespace
} // namespace cronalba

int main(int argc, char **argv) {
    // Every run gets a session bus of its own for the stand-in time service: the program starts
    // itself again under dbus-run-session.
    if (std::getenv("CRONALBA_OWN_BUS") == nullptr) {
        setenv("CRONALBA_OWN_BUS", "1", 1);
        std::vector<char *> command{const_cast<char *>("dbus-run-session"),
                                    const_cast<char *>("--")};
        command.insert(command.end(), argv, argv + argc + 1);
        execvp(command[0], command.data());
        std::perror("dbus-run-session");
        return 1;
    }
    // A zone with daylight saving time, the same wherever the tests run.
    setenv("TZ", "Europe/Madrid", 1);
    tzset();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
