// Feeds arbitrary bytes, cut into arbitrary pieces, to the sentence assembler as the window
// does (Latin-1, one call per read) and aborts on any broken promise: the held text stays
// within its limit, only valid times of day come out, and how the bytes are cut changes nothing.
#include "fuzz_input.h"
#include "nmea_time.h"
#include "sentence_assembler.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace cronalba::fuzz {
namespace {

void require(bool holds, const char *promise) {
    if (!holds) {
        std::fprintf(stderr, "Broken: %s\n", promise);
        std::abort();
    }
}

bool isValidTimeOfDay(const Text &time) {
    const auto digit = [&](std::size_t i) { return time[i] >= u'0' && time[i] <= u'9'; };
    const auto number = [&](std::size_t i) { return (time[i] - u'0') * 10 + (time[i + 1] - u'0'); };
    return time.size() == 8 && digit(0) && digit(1) && time[2] == u':' && digit(3) && digit(4) &&
           time[5] == u':' && digit(6) && digit(7) && number(0) <= 23 && number(3) <= 59 &&
           number(6) <= 59;
}

struct Outcome {
    std::vector<Text> times; // over all calls, in order
    Text heldText;
};

Outcome feed(std::string_view stream, const std::vector<std::size_t> &chunkSizes) {
    SentenceAssembler assembler;
    Outcome outcome;
    std::size_t at = 0;
    std::size_t turn = 0;
    do {
        const std::size_t size = chunkSizes[turn++ % chunkSizes.size()];
        const std::string_view chunk = stream.substr(at, size);
        at += chunk.size();
        for (Text &time : assembler.appendAndExtract(latin1ToText(chunk))) {
            require(isValidTimeOfDay(time), "every time shown is a valid hh:mm:ss");
            outcome.times.push_back(std::move(time));
        }
        require(assembler.buffer().size() <= SentenceAssembler::kMaxBuffer,
                "strBuffer holds at most 32767 characters");
    } while (at < stream.size());
    outcome.heldText = assembler.buffer();
    return outcome;
}

// The times of a stream short enough never to reach the limit, found the plain way: each
// sentence runs from the first "$" after the previous one to the first CR LF after that "$".
std::vector<Text> timesWithinLimit(std::string_view stream) {
    const Text text = latin1ToText(stream);
    std::vector<Text> times;
    std::size_t from = 0;
    for (;;) {
        const std::size_t dollar = text.find(u'$', from);
        const std::size_t crLf = text.find(u"\r\n", dollar);
        if (dollar == Text::npos || crLf == Text::npos) {
            return times;
        }
        if (auto time = sentenceTime(TextView(text).substr(dollar, crLf + 1 - dollar))) {
            times.push_back(std::move(*time));
        }
        from = crLf + 1;
    }
}

} // namespace
} // namespace cronalba::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace cronalba::fuzz;
    const Input input = parseInput({reinterpret_cast<const char *>(data), size});

    const Outcome chunked = feed(input.stream, input.chunkSizes);
    const Outcome whole = feed(input.stream, {input.stream.size()});
    const Outcome byteByByte = feed(input.stream, {1});

    require(chunked.times == whole.times, "cut or whole, the same times");
    require(byteByByte.times == whole.times, "byte by byte or whole, the same times");
    require(chunked.heldText == whole.heldText && byteByByte.heldText == whole.heldText,
            "cut or whole, the same text left held");
    if (input.stream.size() <= cronalba::SentenceAssembler::kMaxBuffer) {
        require(whole.times == timesWithinLimit(input.stream),
                "within the limit, every sentence from its first $ to its first CR LF");
    }
    return 0;
}
