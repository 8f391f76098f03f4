// Captures from real receivers, fed through the assembler as a serial port would deliver them,
// against the times they are known to show: tests/core/captures/<capture>.times, one time per
// line, in the order the GPS display shows them. Running the tests with
// CRONALBA_REGENERATE_CAPTURES=1 rewrites those files from what the assembler shows now.
#include "sentence_assembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace cronalba {
namespace {

namespace fs = std::filesystem;

const fs::path kLogs = CRONALBA_NMEA_LOGS;
const fs::path kExpected = CRONALBA_CAPTURE_TIMES;
constexpr const char *kCaptureExtension = ".log";
constexpr const char *kTimesExtension = ".times";

bool environmentSays(const char *name, const char *value) {
    const char *set = std::getenv(name);
    return set != nullptr && std::string(set) == value;
}

bool regenerating() {
    return environmentSays("CRONALBA_REGENERATE_CAPTURES", "1");
}

// The names (without extension) of the files in folder that end in extension.
std::set<std::string> namesIn(const fs::path &folder, const std::string &extension) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file() && entry.path().extension() == extension) {
            names.insert(entry.path().stem().string());
        }
    }
    return names;
}

// Every capture and every expected file, so that one without the other shows as a failure.
std::vector<std::string> captureNames() {
    std::set<std::string> names = namesIn(kLogs, kCaptureExtension);
    names.merge(namesIn(kExpected, kTimesExtension));
    return {names.begin(), names.end()};
}

// The capture's bytes, bare line feeds turned into CR LF as a receiver would send them.
std::string readAsReceived(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::string received;
    char previous = '\0';
    for (auto it = std::istreambuf_iterator<char>(in); it != std::istreambuf_iterator<char>();
         ++it) {
        if (*it == '\n' && previous != '\r') {
            received += '\r';
        }
        received += *it;
        previous = *it;
    }
    return received;
}

// The display shows digits and colons only, so one byte per character keeps a time whole.
std::string toBytes(const Text &time) {
    return {time.begin(), time.end()};
}

// Every time the display shows while the bytes arrive in reads of chunk bytes, in order.
std::vector<std::string> timesShown(const std::string &bytes, std::size_t chunk) {
    SentenceAssembler assembler;
    std::vector<std::string> shown;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        for (const Text &time : assembler.appendAndExtract(latin1ToText(bytes.substr(at, chunk)))) {
            shown.push_back(toBytes(time));
        }
    }
    return shown;
}

std::vector<std::string> readLines(const fs::path &path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void writeLines(const fs::path &path, const std::vector<std::string> &lines) {
    std::ofstream out(path, std::ios::binary);
    for (const std::string &line : lines) {
        out << line << '\n';
    }
    ASSERT_TRUE(out.flush()) << "can't write " << path;
}

// Where shown parts from expected, or nothing when they agree.
std::string firstDifference(const std::vector<std::string> &shown,
                            const std::vector<std::string> &expected) {
    const auto [left, right] =
        std::mismatch(shown.begin(), shown.end(), expected.begin(), expected.end());
    if (left == shown.end() && right == expected.end()) {
        return "";
    }
    const auto at = [](const auto &times, auto it) {
        return it == times.end() ? std::string("nothing") : '"' + *it + '"';
    };
    return "time " + std::to_string(left - shown.begin() + 1) + ": shown " + at(shown, left) +
           ", expected " + at(expected, right) + " (" + std::to_string(shown.size()) + " shown, " +
           std::to_string(expected.size()) + " expected)";
}

// Test names take letters, digits and underscores only.
std::string testName(const testing::TestParamInfo<std::string> &info) {
    std::string name = info.param;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }, '_');
    return name;
}

class Captures : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (fs::is_directory(kLogs)) {
            return;
        }
        // CI must see the captures; a checkout without them elsewhere just skips.
        if (environmentSays("CI", "true")) {
            FAIL() << "no captures at " << kLogs << " (CI=true needs them)";
        }
        GTEST_SKIP() << "no captures at " << kLogs;
    }

    static fs::path capture() { return kLogs / (GetParam() + kCaptureExtension); }
    static fs::path expected() { return kExpected / (GetParam() + kTimesExtension); }
};

TEST_P(Captures, ShowTheExpectedTimesHoweverTheBytesAreCut) {
    if (!fs::exists(capture())) {
        if (regenerating()) {
            fs::remove(expected());
            return;
        }
        FAIL() << expected() << " belongs to no capture: " << capture() << " is gone. Remove it, "
               << "or run the tests with CRONALBA_REGENERATE_CAPTURES=1";
    }
    const std::string bytes = readAsReceived(capture());
    const std::vector<std::string> whole = timesShown(bytes, bytes.size());
    if (regenerating()) {
        writeLines(expected(), whole);
    }
    ASSERT_TRUE(fs::exists(expected()))
        << "the capture " << capture() << " has no expected times at " << expected()
        << ": run the tests with CRONALBA_REGENERATE_CAPTURES=1 and check what it writes";

    EXPECT_EQ(firstDifference(whole, readLines(expected())), "") << "whole capture in one read";
    for (const std::size_t chunk : {1, 7, 64, 4096}) {
        EXPECT_EQ(firstDifference(timesShown(bytes, chunk), whole), "")
            << "reads of " << chunk << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(RealReceivers, Captures, testing::ValuesIn(captureNames()), testName);
// Without the captures folder and without expected files there is nothing to replay.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Captures);

} // namespace
} // namespace cronalba
