// Feeds arbitrary bytes to the sentence assembler as the serial controls hand them over (Latin-1,
// one call per read) and aborts on any broken promise: the held text stays within its limit,
// only valid times of day come out, and how the bytes are cut changes nothing.
//
// Input: byte 0 gives the size of every read (1 + b * b / 4); from 240 up, byte 1 is also
// repeated to a stretch near the limit in front of the rest, so that short inputs reach it.
#include "nmea_time.h"
#include "sentence_assembler.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace cronalba {
namespace {

void require(bool holds, const char *promise) {
    if (!holds) {
        std::fprintf(stderr, "Broken: %s\n", promise);
        std::abort();
    }
}

// A time shown is hh:mm:ss of a time of day: read back as a field, it gives itself.
bool isTimeOfDay(const Text &time) {
    Text digits = time;
    std::erase(digits, u':');
    return time.size() == 8 && timeOfDayFromField(digits) == time;
}

// Every time shown over all reads, in order, and the text held after the last.
std::pair<std::vector<Text>, Text> feed(std::string_view stream, std::size_t readSize) {
    SentenceAssembler assembler;
    std::vector<Text> times;
    for (std::size_t at = 0; at < stream.size(); at += readSize) {
        for (Text &time : assembler.appendAndExtract(latin1ToText(stream.substr(at, readSize)))) {
            require(isTimeOfDay(time), "every time shown is a valid hh:mm:ss");
            times.push_back(std::move(time));
        }
        require(assembler.buffer().size() <= SentenceAssembler::kMaxBuffer,
                "strBuffer holds at most 32767 characters");
    }
    return {times, assembler.buffer()};
}

} // namespace
} // namespace cronalba

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace cronalba;
    const unsigned cut = size > 0 ? data[0] : 0U;
    std::string stream;
    if (cut >= 240 && size > 1) {
        stream.assign(SentenceAssembler::kMaxBuffer - 256 + (cut - 240) * 32,
                      static_cast<char>(data[1]));
    }
    stream.append(reinterpret_cast<const char *>(data), size);

    const auto whole = feed(stream, stream.size() + 1);
    require(feed(stream, 1 + std::size_t{cut} * cut / 4) == whole && feed(stream, 1) == whole,
            "cut or whole, the same times and the same text left held");
    return 0;
}
