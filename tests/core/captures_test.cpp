// Captures from real receivers, fed through the assembler as a serial port would deliver them.
#include "sentence_assembler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace cronalba {
namespace {

const std::filesystem::path kLogs = CRONALBA_NMEA_LOGS;

struct Capture {
    const char *file;
    std::size_t timeCount; // GGA and RMC sentences that carry a time of day
    const char16_t *first; // the first time shown
    const char16_t *last;  // the time left on display
};

void PrintTo(const Capture &capture, std::ostream *out) {
    *out << capture.file;
}

// The capture's bytes, bare line feeds turned into CR LF as a receiver would send them.
std::string readAsReceived(const std::filesystem::path &path) {
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

std::vector<Text> timesShown(const std::string &bytes, std::size_t chunk) {
    SentenceAssembler assembler;
    std::vector<Text> shown;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        for (Text &time : assembler.appendAndExtract(latin1ToText(bytes.substr(at, chunk)))) {
            shown.push_back(std::move(time));
        }
    }
    return shown;
}

class Captures : public testing::TestWithParam<Capture> {};

TEST_P(Captures, ShowTheSameTimesHoweverTheBytesAreCut) {
    const auto path = kLogs / GetParam().file;
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no capture at " << path;
    }
    const std::string bytes = readAsReceived(path);

    const std::vector<Text> whole = timesShown(bytes, bytes.size());
    ASSERT_EQ(whole.size(), GetParam().timeCount);
    if (GetParam().timeCount > 0) {
        EXPECT_EQ(whole.front(), GetParam().first);
        EXPECT_EQ(whole.back(), GetParam().last);
    }
    for (const std::size_t chunk : {1, 7, 64, 4096}) {
        EXPECT_EQ(timesShown(bytes, chunk), whole) << "chunks of " << chunk;
    }
}

// Counted by hand from the captures: the last GGA or RMC time that reads as a time of day.
INSTANTIATE_TEST_SUITE_P(
    RealReceivers, Captures,
    testing::Values(Capture{"april6_2019.log", 2, u"00:02:31", u"00:02:31"},
                    Capture{"beidou-bd.log", 20, u"07:41:51", u"07:42:00"},
                    Capture{"bt451.log", 26, u"15:25:05", u"14:33:09"},
                    Capture{"bundg_zeus_9.log", 284, u"09:47:36", u"09:50:03"},
                    Capture{"cat-ms352.log", 80, u"11:39:39", u"11:39:58"},
                    Capture{"ch-4711.log", 28, u"13:56:52", u"13:57:05"},
                    Capture{"eXplorist110.log", 18, u"01:44:13", u"01:44:32"},
                    Capture{"firefly-II.log", 46, u"00:59:47", u"01:00:09"},
                    Capture{"foretrex-201.log", 14, u"20:00:04", u"20:00:16"},
                    Capture{"furuno_gl_ga.log", 32, u"12:02:13", u"12:02:28"},
                    Capture{"gp-320fw-2019-04-07-coldboot.log", 32, u"00:03:43", u"00:04:35"},
                    Capture{"hemi.log", 21, u"19:40:50", u"19:41:00"},
                    Capture{"hp58534a.log", 2, u"22:24:49", u"22:24:50"},
                    Capture{"humminbird-M37.log", 25, u"19:41:01", u"19:41:19"},
                    Capture{"magellan-ec10.log", 38, u"20:51:50", u"20:53:04"},
                    Capture{"mtk-3301.log", 22, u"23:59:46", u"08:14:39"},
                    Capture{"nmea-rtk.log", 244, u"13:28:20", u"13:39:02"},
                    Capture{"quectel-eg25-g.log", 46, u"19:15:03", u"19:15:34"},
                    Capture{"quectel-l76k-nmea.log", 300, u"05:52:34", u"05:53:04"},
                    Capture{"rst39.log", 44, u"20:41:32", u"20:41:36"},
                    Capture{"sirfstarv-nmea.log", 177, u"02:09:35", u"02:10:33"},
                    // Every sentence starts "$$", so characters 4 to 6 never read GGA or RMC.
                    Capture{"st-teseo-liv4f.log", 0, nullptr, nullptr},
                    Capture{"tcp-test.log", 2, u"19:32:21", u"19:32:21"},
                    Capture{"telit-he910.log", 374, u"10:51:54", u"10:54:59"},
                    Capture{"telit-pls83-w.log", 40, u"04:35:39", u"04:35:48"},
                    Capture{"triton400.log", 8, u"03:01:29", u"03:01:33"},
                    Capture{"ublox-neo-m9n-nmea.log", 122, u"22:37:45", u"22:38:45"},
                    Capture{"unicore-um621.log", 40, u"00:06:53", u"00:07:12"},
                    Capture{"venus634lp.log", 12, u"08:50:32", u"08:50:38"}));

} // namespace
} // namespace cronalba
