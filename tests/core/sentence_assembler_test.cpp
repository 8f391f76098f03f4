// The GPS time: which time fields are times of day, and how the assembler makes sentences of
// the reads that arrive and the times they show, also over captures from real receivers.
#include "nmea_time.h"
#include "sentence_assembler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace cronalba {
namespace {

using Times = std::vector<TimeOfDay>;

const Text kRmc = u"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const Text kGga = u"$GPGGA,090503,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
constexpr std::size_t kLimit = SentenceAssembler::kMaxBuffer;

// A GGA sentence of exactly `length` characters, CR LF included, whose time is 01:02:03.
Text ggaOfLength(std::size_t length) {
    const Text head = u"$GPGGA,010203,";
    return head + Text(length - head.size() - 2, u'x') + u"\r\n";
}

TEST(TimeOfDayFromField, ShowsOnlyATimeOfDay) {
    const std::pair<Text, std::optional<TimeOfDay>> cases[] = {
        // clang-format off
        {u"123519", {{12, 35, 19}}},   {u"000000", {{0, 0, 0}}},       {u"235959", {{23, 59, 59}}},
        {u"5", {{0, 0, 5}}},           {u"1234", {{0, 12, 34}}},       {u".5", {{0, 0, 1}}},
        {u"123519.4", {{12, 35, 19}}}, {u"123519.5", {{12, 35, 20}}},  {u"123519.", {{12, 35, 19}}},
        {u"123519.49999", {{12, 35, 19}}}, {u"000231.099", {{0, 2, 31}}},
        // Rounding carries into the minutes, the hours and past midnight.
        {u"123559.6", {{12, 36, 0}}},  {u"125959.5", {{13, 0, 0}}},    {u"235959.5", {{0, 0, 0}}},
        // Not a time of day: the display keeps what it shows.
        {u"", {}},         {u".", {}},        {u"12a519", {}},    {u"126000", {}},
        {u"123560", {}},   {u"240000", {}},   {u"1235190", {}},   {u"123519.5.5", {}},
        {u"-123519", {}},  {u"+123519", {}},  {u" 123519", {}},   {u"123519.x", {}},
        {u"1e5", {}},      {u"12\u0663519", {}},
        // clang-format on
    };
    for (const auto &[field, expected] : cases) {
        EXPECT_EQ(timeOfDayFromField(field), expected) << field.size() << " characters";
    }
}

// Reads arriving one after another: the times each one shows, and the text held after the last.
TEST(SentenceAssembler, ShowsTheTimesOfWholeSentencesAsTheyArrive) {
    const struct {
        const char *what;
        std::vector<Text> reads;
        std::vector<Times> shown; // for each read
        Text held;
    } cases[] = {
        // clang-format off
        {"a sentence in three pieces shows with the last",
         {kRmc.substr(0, 20), kRmc.substr(20, 40), kRmc.substr(60)},
         {{}, {}, {{12, 35, 19}}}, u"\n"},
        {"a carriage return waits for its line feed",
         {kRmc.substr(0, kRmc.size() - 1), u"\n"}, {{}, {{12, 35, 19}}}, u"\n"},
        {"text before the first dollar goes once it arrives",
         {u",-13.9,M,,*7D\r\n", u"garbage$GPGGA,0905"}, {{}, {}}, u"$GPGGA,0905"},
        {"the line feed after a sentence stays until the next dollar",
         {kRmc, u"", kGga}, {{{12, 35, 19}}, {}, {{9, 5, 3}}}, u"\n"},
        {"every sentence of a read, in order",
         {kRmc + u"$GPGSV,3,1,11,03,03,111,00*74\r\n" + kGga + u"$GPVTG,084.4,T\r\n$GPRMC,1235"},
         {{{12, 35, 19}, {9, 5, 3}}}, u"$GPRMC,1235"},
        {"sentences without a time are consumed",
         {u"$GPRMC,,V,,,,,,,,,,N*53\r\n$GPGSA,A,3*39\r\n$gpgga,123519,4807*47\r\n$GPGGA\r\n"
          u"$GPGGA,126199,4807.038*47\r\n$GPGGA,123519\r\n$$GNRMC,135817.000,A\r\n"}, {{}}, u"\n"},
        {"whatever the talker, the status, the fix or the checksum",
         {u"$INGGA,194111,,,,,0*00\r\n$XXRMC,010203,V*FF\r\n"}, {{{19, 41, 11}, {1, 2, 3}}}, u"\n"},
        {"only CR LF ends a sentence, which runs from the first dollar",
         {u"$GPGGA,010203,x\n$GPRMC,040506,A\r", u"\n", u"$GPGSA,1*1E$GPRMC,235949,A\r\n"},
         {{}, {{1, 2, 3}}, {}}, u"\n"},
        {"without a dollar the newest text is kept, up to the limit",
         {Text(kLimit, u'b'), u"c"}, {{}, {}}, Text(kLimit - 1, u'b') + u"c"},
        {"a sentence of exactly the limit shows", {ggaOfLength(kLimit)}, {{{1, 2, 3}}}, u"\n"},
        {"one a character longer is given up",
         {ggaOfLength(kLimit + 1) + kRmc}, {{{12, 35, 19}}}, u"\n"},
        {"a dollar inside a sentence too long for the limit starts the next try",
         {u"$" + Text(kLimit, u'y') + kGga}, {{{9, 5, 3}}}, u"\n"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SentenceAssembler assembler;
        for (std::size_t i = 0; i < c.reads.size(); ++i) {
            EXPECT_EQ(assembler.appendAndExtract(c.reads[i]), c.shown[i]) << "read " << i;
        }
        EXPECT_EQ(assembler.buffer(), c.held);
    }
}

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

// Captures from real receivers, fed through the assembler as serial ports deliver them, against
// the times they are known to show: captures/<capture>.times, one time a line, in the order the
// GPS display shows them. CRONALBA_REGENERATE_CAPTURES=1 rewrites those files from what the
// assembler shows now; read the difference before committing it.
// They are listed when the test runs, so that a capture added without rebuilding is replayed too.
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
