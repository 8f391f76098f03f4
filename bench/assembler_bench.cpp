// The sentence assembler's throughput on the real receiver captures, fed in pieces of one read
// each and converted from Latin-1 on the way in, as the serial controls hand them over.
#include "sentence_assembler.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace cronalba {
namespace {

// Every capture, one after another in name order, bare line feeds turned into CR LF as a
// receiver sends them.
std::string capturesAsReceived() {
    std::vector<std::filesystem::path> logs;
    for (const auto &entry : std::filesystem::directory_iterator(CRONALBA_NMEA_LOGS)) {
        if (entry.path().extension() == ".log") {
            logs.push_back(entry.path());
        }
    }
    std::sort(logs.begin(), logs.end());
    std::string stream;
    for (const auto &log : logs) {
        std::ifstream in(log, std::ios::binary);
        char previous = 0;
        for (auto it = std::istreambuf_iterator<char>(in); it != decltype(it){}; ++it) {
            if (*it == '\n' && previous != '\r') {
                stream += '\r';
            }
            stream += *it;
            previous = *it;
        }
    }
    return stream;
}

const std::string &captures() {
    static const std::string stream = capturesAsReceived();
    return stream;
}

void feedCaptures(benchmark::State &state) {
    const std::string_view stream = captures();
    if (stream.empty()) {
        state.SkipWithError("no captures in " CRONALBA_NMEA_LOGS);
        return;
    }
    const auto chunk = static_cast<std::size_t>(state.range(0));
    std::size_t timesShown = 0;
    for ([[maybe_unused]] auto pass : state) {
        SentenceAssembler assembler;
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            timesShown += assembler.appendAndExtract(latin1ToText(stream.substr(at, chunk))).size();
        }
        benchmark::DoNotOptimize(timesShown);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
    state.counters["times/pass"] =
        static_cast<double>(timesShown) / static_cast<double>(state.iterations());
}

BENCHMARK(feedCaptures)
    ->Name("assembler")
    ->ArgName("chunk")
    ->Arg(1)
    ->Arg(64)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace cronalba

BENCHMARK_MAIN();
