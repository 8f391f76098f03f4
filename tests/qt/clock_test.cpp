// The Linux clock back ends, none of them ever reaching the machine's clock: the time service
// is a stand-in on a session bus that dbus-run-session starts for these tests alone (see main),
// the kernel's setter a fake, and the real one runs only in a child process inside a user
// namespace of its own, where the kernel must refuse it.
#include "fakes.h"
#include "timedated_clock.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDateTime>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cronalba {
namespace {

using namespace std::chrono;

const QString kPath = QStringLiteral("/org/freedesktop/timedate1");
// A day without a change of daylight saving time in the zone these tests run in.
const QDateTime kNoon(QDate(2024, 1, 15), QTime(12, 0), Qt::LocalTime);

Moment momentOf(const QDateTime &time) {
    return Moment(milliseconds(time.toMSecsSinceEpoch()));
}

// Stands in for the time service: records and answers each call, with an error when told to
// (SetNTP ends automatic time's), from a thread of its own, so that it can take its time.
class TimedateStandIn : public QDBusVirtualObject {
public:
    QString introspect(const QString & /*path*/) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override {
        const std::scoped_lock lock(mutex);
        calls.push_back(message);
        errorName = message.member() == "SetNTP" && errorName.endsWith("Enabled") ? "" : errorName;
        QThread::msleep(static_cast<unsigned long>(delay.count())); // as a password prompt might
        if (!silent) {
            connection.send(errorName.isEmpty() ? message.createReply()
                                                : message.createErrorReply(errorName, "said so"));
        }
        return true;
    }

    std::mutex mutex;
    QString errorName;
    bool silent = false;
    milliseconds delay{0};
    std::vector<QDBusMessage> calls;
};

class TimedatedClockTest : public ::testing::Test {
protected:
    void SetUp() override {
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

    // Sets the clock through the service on bus, with a kernel setter behind that fails with error.
    static ClockSetResult setTimeOfDay(TimeOfDay newTime, Moment requestedAt, int error = EPERM,
                                       milliseconds timeout = 5s,
                                       const BusConnector &bus = &QDBusConnection::sessionBus) {
        auto kernel = std::make_unique<KernelClock>([error](microseconds) { return error; });
        return TimedatedClock(bus, std::move(kernel), timeout).setTimeOfDay(newTime, requestedAt);
    }

    QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "service");
    QThread standInThread;
    TimedateStandIn standIn;
};

// The service is asked for the change since the click, interactively; each of its answers
// comes back as a reason, and where it is gone from the bus the kernel (refusing) decides.
TEST_F(TimedatedClockTest, AsksTheServiceForTheChangeSinceTheClick) {
    ASSERT_TRUE(service.registerService("org.freedesktop.timedate1"));
    using enum ClockOutcome;
    const QDateTime beforeMidnight(QDate(2024, 1, 15), QTime(23, 59, 59));
    const struct {
        const char *errorName; // the service's answer: none, or an error
        ClockOutcome outcome;
        TimeOfDay newTime{14, 0, 0};
        QDateTime requestedAt = kNoon;
        microseconds shift = 2h; // asked for
    } cases[] = {
        // clang-format off
        {"", Done, {14, 35, 19}, kNoon, 2h + 35min + 19s},
        {"", Done, {7, 35, 19}, kNoon.addMSecs(250), -(4h + 24min + 41s + 250ms)},
        // The date stays the one of the click, even a moment before midnight.
        {"", Done, {0, 0, 1}, beforeMidnight, -(23h + 59min + 58s)},
        // Answers, named without "org.freedesktop.".
        {"timedate1.AutomaticTimeSyncEnabled", AutomaticSyncOn},
        {"PolicyKit1.Error.NotAuthorized", NotAuthorized},
        {"PolicyKit1.Error.Cancelled", NotAuthorized},  {"DBus.Error.AccessDenied", NotAuthorized},
        {"DBus.Error.InteractiveAuthorizationRequired", NotAuthorized},
        {"DBus.Error.NoReply", NoReply},  {"DBus.Error.Timeout", NoReply},
        {"DBus.Error.TimedOut", NoReply},  {"DBus.Error.ServiceUnknown", NotPermitted},
        {"DBus.Error.NameHasNoOwner", NotPermitted},  {"DBus.Error.NoServer", NotPermitted},
        {"DBus.Error.Disconnected", NotPermitted},
        {"DBus.Error.Failed", Failed},
        // clang-format on
    };
    for (const auto &c : cases) {
        standIn.errorName =
            c.errorName[0] != '\0' ? QString("org.freedesktop.") + c.errorName : QString();
        EXPECT_EQ(setTimeOfDay(c.newTime, momentOf(c.requestedAt)).outcome, c.outcome);
        const std::scoped_lock lock(standIn.mutex);
        EXPECT_EQ(standIn.calls.back().member(), "SetTime");
        EXPECT_EQ(standIn.calls.back().arguments(),
                  (QVariantList{qint64(c.shift.count()), true, true}));
        EXPECT_TRUE(standIn.calls.back().isInteractiveAuthorizationAllowed());
    }
    EXPECT_TRUE(setTimeOfDay({14, 35, 19}, momentOf(kNoon)).detail ==
                u"org.freedesktop.DBus.Error.Failed: said so");
    standIn.silent = true;
    EXPECT_EQ(setTimeOfDay({14, 35, 19}, momentOf(kNoon), 0, 200ms).outcome, ClockOutcome::NoReply);
    EXPECT_EQ(setTimeOfDay({14, 35, 19}, momentOf(kNoon), EINVAL, 5s, &QDBusConnection::systemBus),
              (ClockSetResult{ClockOutcome::Failed, u"Invalid argument"})); // no system bus at all
}

// Automatic time on: after "No" in the window the refused change is all; after "Sí" the service
// switches it off, interactively, then makes the same change as of the click. Refusals come back.
// A click while the service is still to answer (a password asked for) starts no second request.
TEST_F(TimedatedClockTest, SwitchesAutomaticTimeOffAtTheUsersWord) {
    ASSERT_TRUE(service.registerService("org.freedesktop.timedate1"));
    standIn.errorName = "org.freedesktop.timedate1.AutomaticTimeSyncEnabled";
    standIn.delay = 200ms;
    TimedatedClock clock(&QDBusConnection::sessionBus, std::make_unique<KernelClock>(nullptr));
    testing::FakeWindow window(&clock);
    window.comm.receive(u"$GPRMC,123519,A\r\n");
    QTimer::singleShot(100, [&window] { window.form.click(ControlId::cmdSync); });
    for (const bool answer : {false, true}) {
        window.messages.answer = answer;
        window.form.click(ControlId::cmdSync);
    }
    QCoreApplication::processEvents(); // a click still waiting would come now
    standIn.errorName = "org.freedesktop.PolicyKit1.Error.Cancelled";
    EXPECT_EQ(clock.switchOffAutomaticTime().outcome, ClockOutcome::NotAuthorized);
    const std::scoped_lock lock(standIn.mutex);
    ASSERT_EQ(standIn.calls.size(), 5U);
    EXPECT_EQ(standIn.calls[2].member(), "SetNTP");
    EXPECT_EQ(standIn.calls[2].arguments(), (QVariantList{false, true}));
    EXPECT_EQ(standIn.calls[3].arguments(), standIn.calls[1].arguments());
}

// The kernel's clock moves by the shift either way, carrying across whole seconds.
TEST(ShiftedTime, CarriesAcrossSecondsBothWays) {
    const std::tuple<timespec, microseconds, timespec> cases[] = {
        // clang-format off
        {{1000, 900'000'000}, 200ms, {1001, 100'000'000}}, {{1000, 999'999'999}, 1us, {1001, 999}},
        {{1000, 100'000'000}, -200ms, {999, 900'000'000}}, {{1000, 250'000'000}, -250ms, {1000, 0}},
        {{20000, 500'000'000}, -(4h + 24min + 41s + 750ms), {4118, 750'000'000}},
        // clang-format on
    };
    for (const auto &[current, shift, expected] : cases) {
        const auto [sec, nsec] = shiftedTime(current, shift);
        EXPECT_EQ(std::pair(sec, nsec), std::pair(expected.tv_sec, expected.tv_nsec));
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

// The child's exit status: 0 when the kernel refused and the user hears why.
enum ChildStatus : int { kRefused = 0, kNoNamespace = 10, kNotRefused = 11 };

TEST(KernelClockInUserNamespace, TheKernelsRefusalReachesTheUserAndTheClockStays) {
    // How far the real-time clock is from the monotonic one: it changes only when someone sets it.
    const auto realtimeOffset = [] {
        return system_clock::now().time_since_epoch() - steady_clock::now().time_since_epoch();
    };
    const auto offsetBefore = realtimeOffset();
    const auto ownNamespace = [] { return std::filesystem::read_symlink("/proc/self/ns/user"); };
    const auto machineNamespace = ownNamespace();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // Unless this process is in a user namespace of its own, the setter is never reached.
        // Inside one it holds no capability over the machine's clock, which belongs to the first
        // user namespace. The time asked for is the time now: a setter that got through would
        // move the clock by a moment.
        if (unshare(CLONE_NEWUSER) != 0 || ownNamespace() == machineNamespace) {
            _exit(kNoNamespace);
        }
        int error = 0;
        KernelClock clock([&](microseconds shift) { return error = shiftRealtimeClock(shift); });
        const ClockReading now = clock.now();
        const ClockOutcome outcome = clock.setTimeOfDay(now.localTime, now.moment).outcome;
        _exit(error == EPERM && outcome == ClockOutcome::NotPermitted ? kRefused : kNotRefused);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNoNamespace) {
        GTEST_SKIP() << "no user namespace can be made here";
    }
    EXPECT_EQ(WEXITSTATUS(status), kRefused) << "EPERM from the kernel, NotPermitted to the user";
    EXPECT_LT(abs(realtimeOffset() - offsetBefore), 1s);
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
    // A machine without a system bus: the one of this machine is never reached.
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket", 1);
    // A zone with daylight saving time, the same wherever the tests run.
    setenv("TZ", "Europe/Madrid", 1);
    tzset();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
