// Start-up to the window shown, and peak memory, of two programs started alternately in the same
// run: the time from starting the process to its end, which the programs reach as soon as their
// window is shown because the probe library is preloaded into them, and the largest resident set
// the system recorded for it. The launcher itself runs without the probe.
// Usage: cronalba_bench_startup RUNS PROBE PROGRAM BASELINE; prints key=value lines.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Run {
    double milliseconds = 0;
    double cpuMilliseconds = 0; // user and system time: what the machine's other work can't inflate
    double peakMebibytes = 0;
};

// This process's environment with LD_PRELOAD set to the probe alone, for the programs started.
class ProbedEnvironment {
public:
    explicit ProbedEnvironment(const std::string &probe)
        : preload("LD_PRELOAD=" + probe) {
        for (char **variable = environ; *variable != nullptr; ++variable) {
            if (std::string_view(*variable).rfind("LD_PRELOAD=", 0) != 0) {
                pointers.push_back(*variable);
            }
        }
        pointers.push_back(preload.data());
        pointers.push_back(nullptr);
    }
    char **get() { return pointers.data(); }

private:
    std::string preload;
    std::vector<char *> pointers;
};

// Starts program with no arguments and waits for its end; nothing when it fails.
bool startAndWait(const std::string &program, char **environment, Run &run) {
    std::array<char *, 2> argv{const_cast<char *>(program.c_str()), nullptr};
    const auto startedAt = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environment) != 0) {
        std::perror(program.c_str());
        return false;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("wait4");
        return false;
    }
    const auto endedAt = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s ended badly (status %d)\n", program.c_str(), status);
        return false;
    }
    run.milliseconds = std::chrono::duration<double, std::milli>(endedAt - startedAt).count();
    const auto toMilliseconds = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    run.cpuMilliseconds = toMilliseconds(usage.ru_utime) + toMilliseconds(usage.ru_stime);
    run.peakMebibytes = static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 5 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "Usage: %s RUNS PROBE PROGRAM BASELINE\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    ProbedEnvironment environment(argv[2]);
    const std::array<std::string, 2> programs{argv[3], argv[4]};

    // One unmeasured start of each first, so that both find their libraries in the page cache.
    Run ignored;
    for (const auto &program : programs) {
        if (!startAndWait(program, environment.get(), ignored)) {
            return 1;
        }
    }
    std::array<std::vector<double>, 2> times;
    std::array<std::vector<double>, 2> cpuTimes;
    std::array<std::vector<double>, 2> peaks;
    for (int i = 0; i < runs; ++i) {
        // Alternating which goes first spreads any drift of the machine evenly over both.
        for (int turn = 0; turn < 2; ++turn) {
            const auto which = static_cast<std::size_t>((i + turn) % 2);
            Run run;
            if (!startAndWait(programs[which], environment.get(), run)) {
                return 1;
            }
            times[which].push_back(run.milliseconds);
            cpuTimes[which].push_back(run.cpuMilliseconds);
            peaks[which].push_back(run.peakMebibytes);
        }
    }
    const double programTime = median(times[0]);
    const double baselineTime = median(times[1]);
    const double programPeak = median(peaks[0]);
    const double baselinePeak = median(peaks[1]);
    std::printf("runs=%d\n", runs);
    std::printf("program_ms=%.1f\nbaseline_ms=%.1f\ntime_ratio=%.2f\n", programTime, baselineTime,
                programTime / baselineTime);
    std::printf("program_cpu_ms=%.1f\nbaseline_cpu_ms=%.1f\ncpu_ratio=%.2f\n", median(cpuTimes[0]),
                median(cpuTimes[1]), median(cpuTimes[0]) / median(cpuTimes[1]));
    std::printf("program_mib=%.1f\nbaseline_mib=%.1f\nmemory_extra_mib=%.1f\n", programPeak,
                baselinePeak, programPeak - baselinePeak);
    return 0;
}
