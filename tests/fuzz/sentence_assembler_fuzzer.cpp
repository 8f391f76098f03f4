// Feeds arbitrary bytes to the sentence assembler as the serial controls hand them over (Latin-1),
// whole and cut into reads, and aborts on a broken promise: the held text stays within its limit,
// only times of day come out, and how the bytes are cut changes nothing.
//
// Byte 0 gives the read size (1 + b * b / 4); from 240 up, byte 1 is also repeated to a stretch
// near the limit in front of the rest, so that short inputs reach it.
#include "sentence_assembler.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
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

// Every time shown over all reads, in order, and the text held after the last.
std::pair<std::vector<TimeOfDay>, Text> feed(TextView received, std::size_t readSize) {
    SentenceAssembler assembler;
    std::vector<TimeOfDay> times;
    for (std::size_t at = 0; at < received.size(); at += readSize) {
        std::ranges::move(assembler.appendAndExtract(received.substr(at, readSize)),
                          std::back_inserter(times));
        require(assembler.buffer().size() <= SentenceAssembler::kMaxBuffer,
                "strBuffer holds at most 32767 characters");
    }
    return {times, Text(assembler.buffer())};
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

    // Converted once: the reads are pieces of one text.
    const Text received = latin1ToText(stream);
    const auto whole = feed(received, received.size() + 1);
    for (const TimeOfDay time : whole.first) {
        require(time.hours >= 0 && time.hours <= 23 && time.minutes >= 0 && time.minutes <= 59 &&
                    time.seconds >= 0 && time.seconds <= 59,
                "every time shown is a time of day");
    }
    // Cut into reads of the input's own size, when that cuts it at all.
    const std::size_t readSize = 1 + std::size_t{cut} * cut / 4;
    require(readSize >= received.size() || feed(received, readSize) == whole,
            "cut or whole, the same times and the same text left held");
    return 0;
}
