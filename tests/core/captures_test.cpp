// Captures from real receivers, fed through the assembler as serial ports deliver them, against
// the times they are known to show: captures/<capture>.times, one time a line, in the order the
// GPS display shows them. CRONALBA_REGENERATE_CAPTURES=1 rewrites those files from what the
// assembler shows now; read the difference before committing it.
#include "sentence_assembler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace cronalba {
namespace {

namespace fs = std::filesystem;

// Every time the display shows while the bytes arrive in reads of chunk bytes, a line each.
std::string timesShown(const std::string &bytes, std::size_t chunk) {
    SentenceAssembler assembler;
    std::string shown;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        const auto times = assembler.appendAndExtract(latin1ToText(bytes.substr(at, chunk)));
        for (const TimeOfDay time : times) {
            const Text text = timeOfDayText(time); // digits and colons only
            shown.append(text.begin(), text.end()).push_back('\n');
        }
    }
    return shown;
}

std::string contentsOf(const fs::path &path) {
    return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

// Listed when the test runs, so that a capture added without rebuilding is replayed too.
TEST(Captures, ShowTheirKnownTimesHoweverTheBytesAreCut) {
    const fs::path logs = CRONALBA_NMEA_LOGS;
    if (!fs::is_directory(logs)) {
        // CI must see the captures; a checkout without them elsewhere just skips.
        ASSERT_STRNE(std::getenv("CI"), "true") << "no captures at " << logs;
        GTEST_SKIP() << "no captures at " << logs;
    }
    for (const auto &capture : fs::directory_iterator(logs)) {
        if (capture.path().extension() != ".log") {
            continue;
        }
        SCOPED_TRACE(capture.path().filename());
        std::string bytes; // bare line feeds become CR LF, as a receiver sends them
        for (const char c : contentsOf(capture.path())) {
            bytes += c == '\n' && !bytes.ends_with('\r') ? "\r\n" : std::string(1, c);
        }
        const std::string whole = timesShown(bytes, bytes.size());
        const fs::path expected =
            fs::path(CRONALBA_CAPTURE_TIMES) / capture.path().stem().concat(".times");
        if (std::getenv("CRONALBA_REGENERATE_CAPTURES") != nullptr) {
            std::ofstream(expected, std::ios::binary) << whole;
        }
        ASSERT_TRUE(fs::exists(expected)) << "no expected times: run the tests with "
                                             "CRONALBA_REGENERATE_CAPTURES=1 and check them";
        EXPECT_EQ(whole, contentsOf(expected));
        for (const std::size_t chunk : {1, 7, 64, 4096}) {
            EXPECT_EQ(timesShown(bytes, chunk), whole) << "reads of " << chunk << " bytes";
        }
    }
}

} // namespace
} // namespace cronalba
