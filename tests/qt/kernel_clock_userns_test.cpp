// The real kernel setter, run where the kernel must refuse it: a child process in a user
// namespace of its own, without CAP_SYS_TIME. The tests run as root, so nothing here calls the
// setter anywhere else.
#include "timedated_clock.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <ctime>

namespace cronalba {
namespace {

// How the child ends.
enum ChildStatus : int { kRefused = 0, kNoNamespace = 10, kCapabilityKept = 11, kNotRefused = 12 };

// Drops CAP_SYS_TIME from the bounding, permitted and effective sets; true when it is gone.
bool dropSystemTimeCapability() {
    if (prctl(PR_CAPBSET_DROP, CAP_SYS_TIME, 0, 0, 0) != 0) {
        return false;
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> data{};
    if (syscall(SYS_capget, &header, data.data()) != 0) {
        return false;
    }
    const unsigned bit = 1U << CAP_SYS_TIME; // capability 25 lives in the first word
    data[0].effective &= ~bit;
    data[0].permitted &= ~bit;
    if (syscall(SYS_capset, &header, data.data()) != 0 ||
        syscall(SYS_capget, &header, data.data()) != 0) {
        return false;
    }
    return (data[0].effective & bit) == 0 && (data[0].permitted & bit) == 0;
}

[[noreturn]] void runChild() {
    // Without the namespace the setter is never reached.
    if (unshare(CLONE_NEWUSER) != 0) {
        _exit(kNoNamespace);
    }
    if (!dropSystemTimeCapability()) {
        _exit(kCapabilityKept);
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
