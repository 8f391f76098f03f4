// Captures from real receivers, fed through the assembler as serial ports deliver them, against
// the times they are known to show: captures/<capture>.times, one time a line, in the order the
// GPS display shows them. CRONALBA_REGENERATE_CAPTURES=1 rewrites those files from what the
// assembler shows now; read the difference before committing it.
#include "sentence_assembler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace cronalba {
namespace {

namespace fs = std::filesystem;
using Times = std::vector<std::string>;

bool environmentSays(const char *name, const char *value) {
    const char *set = std::getenv(name);
    return set != nullptr && std::string(set) == value;
}

// The capture's bytes, bare line feeds turned into CR LF as a receiver would send them.
std::string readAsReceived(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::string received;
    char previous = '\0';
    for (auto it = std::istreambuf_iterator<char>(in); it != decltype(it){}; ++it) {
        if (*it == '\n' && previous != '\r') {
            received += '\r';
        }
        received += *it;
        previous = *it;
    }
    return received;
}

// Every time the display shows while the bytes arrive in reads of chunk bytes, in order.
Times timesShown(const std::string &bytes, std::size_t chunk) {
    SentenceAssembler assembler;
    Times shown;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        for (const Text &time : assembler.appendAndExtract(latin1ToText(bytes.substr(at, chunk)))) {
            shown.emplace_back(time.begin(), time.end()); // digits and colons only
        }
    }
    return shown;
}

Times readLines(const fs::path &path) {
    std::ifstream in(path);
    Times lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Listed when the test runs, so that a capture added without rebuilding is replayed too.
TEST(Captures, ShowTheirKnownTimesHoweverTheBytesAreCut) {
    const fs::path logs = CRONALBA_NMEA_LOGS;
    const fs::path expectedTimes = CRONALBA_CAPTURE_TIMES;
    if (!fs::is_directory(logs)) {
        // CI must see the captures; a checkout without them elsewhere just skips.
        ASSERT_FALSE(environmentSays("CI", "true")) << "no captures at " << logs;
        GTEST_SKIP() << "no captures at " << logs;
    }
    const bool regenerate = environmentSays("CRONALBA_REGENERATE_CAPTURES", "1");
    for (const auto &capture : fs::directory_iterator(logs)) {
        if (capture.path().extension() != ".log") {
            continue;
        }
        SCOPED_TRACE(capture.path().filename());
        const std::string bytes = readAsReceived(capture.path());
        const Times whole = timesShown(bytes, bytes.size());
        const fs::path expected = expectedTimes / capture.path().stem().concat(".times");
        if (regenerate) {
            std::ofstream out(expected, std::ios::binary);
            for (const std::string &time : whole) {
                out << time << '\n';
            }
        }
        ASSERT_TRUE(fs::exists(expected)) << "no expected times: run the tests with "
                                             "CRONALBA_REGENERATE_CAPTURES=1 and check them";
        EXPECT_EQ(whole, readLines(expected));
        for (const std::size_t chunk : {1, 7, 64, 4096}) {
            EXPECT_EQ(timesShown(bytes, chunk), whole) << "reads of " << chunk << " bytes";
        }
    }
}

} // namespace
} // namespace cronalba
