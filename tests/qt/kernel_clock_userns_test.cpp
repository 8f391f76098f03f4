// The real kernel setter, run where the kernel must refuse it: a child process in a user
// namespace of its own. The tests run as root, so nothing here calls the setter anywhere else.
#include "timedated_clock.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

namespace cronalba {
namespace {

// How the child ends.
enum ChildStatus : int { kRefused = 0, kNoNamespace = 10, kNotRefused = 11 };

[[noreturn]] void runChild() {
    // Without the namespace the setter is never reached. Inside it this process holds no
    // capability over the machine's clock, which belongs to the first user namespace.
    if (unshare(CLONE_NEWUSER) != 0) {
        _exit(kNoNamespace);
    }
    int setterError = 0;
    KernelClock clock([&](std::chrono::microseconds shift) {
        setterError = shiftRealtimeClock(shift);
        return setterError;
    });
    // The time of day it is now: even a setter that got through would move the clock by a
    // moment at most.
    const ClockReading now = clock.now();
    const ClockOutcome outcome = clock.setTimeOfDay(now.localTime, now.moment).outcome;
    _exit(setterError == EPERM && outcome == ClockOutcome::NotPermitted ? kRefused : kNotRefused);
}

// How far the real-time clock is from the monotonic one: it changes only when someone sets it.
double realtimeOffsetSeconds() {
    timespec realtime{};
    timespec monotonic{};
    clock_gettime(CLOCK_REALTIME, &realtime);
    clock_gettime(CLOCK_MONOTONIC, &monotonic);
    return static_cast<double>(realtime.tv_sec - monotonic.tv_sec) +
           static_cast<double>(realtime.tv_nsec - monotonic.tv_nsec) / 1e9;
}

TEST(KernelClockInUserNamespace, TheKernelsRefusalReachesTheUserAndTheClockStays) {
    const double offsetBefore = realtimeOffsetSeconds();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        runChild();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNoNamespace) {
        GTEST_SKIP() << "no user namespace can be made here";
    }
    EXPECT_EQ(WEXITSTATUS(status), kRefused) << "EPERM from the kernel, NotPermitted to the user";
    EXPECT_NEAR(realtimeOffsetSeconds(), offsetBefore, 1.0);
}

} // namespace
} // namespace cronalba
