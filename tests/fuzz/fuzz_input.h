#pragma once

// How the fuzzer reads its input, shared with the tool that writes the seed corpus.
//
//   byte 0      filler: none up to kFillerFrom, else a stretch whose length lies near the
//               assembler's limit (in steps of kFillerStep), so that short inputs reach it;
//               seldom, as such inputs are slow to feed byte by byte
//   byte 1      where the filler goes, as a fraction (of 255) of the stream
//   byte 2      the filler byte
//   byte 3      n, how many cut bytes follow
//   n bytes     the chunk sizes, used in turn until the stream is consumed: b gives 1 + b * b / 4
//   the rest    the stream, as the serial port would deliver it

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cronalba::fuzz {

constexpr std::size_t kHeaderSize = 4;
constexpr unsigned kFillerFrom = 240;
constexpr std::size_t kFillerStep = 64;
constexpr std::size_t kShortestFiller = 32767 - 8 * kFillerStep; // 15 steps reach past 32767

struct Input {
    std::string stream;
    std::vector<std::size_t> chunkSizes; // never empty, none 0
};

inline std::size_t chunkSizeOf(unsigned char cut) {
    return 1 + std::size_t{cut} * cut / 4;
}

inline std::size_t fillerLengthOf(unsigned char filler) {
    return filler > kFillerFrom ? kShortestFiller + (filler - kFillerFrom) * kFillerStep : 0;
}

inline Input parseInput(std::string_view data) {
    const auto byteAt = [&](std::size_t i) -> unsigned {
        return i < data.size() ? static_cast<unsigned char>(data[i]) : 0U;
    };
    const std::size_t fillerLength = fillerLengthOf(static_cast<unsigned char>(byteAt(0)));
    const unsigned fillerPlace = byteAt(1);
    const char fillerByte = static_cast<char>(byteAt(2));
    const std::size_t cutCount = byteAt(3);

    data.remove_prefix(std::min(kHeaderSize, data.size()));
    const std::string_view cuts = data.substr(0, std::min(cutCount, data.size()));
    data.remove_prefix(cuts.size());

    Input input;
    for (const char cut : cuts) {
        input.chunkSizes.push_back(chunkSizeOf(static_cast<unsigned char>(cut)));
    }
    if (input.chunkSizes.empty()) {
        input.chunkSizes.push_back(data.size() + fillerLength + 1); // all in one piece
    }
    const std::size_t fillerAt = data.size() * fillerPlace / 255;
    input.stream.reserve(data.size() + fillerLength);
    input.stream.append(data.substr(0, fillerAt));
    input.stream.append(fillerLength, fillerByte);
    input.stream.append(data.substr(fillerAt));
    return input;
}

} // namespace cronalba::fuzz
