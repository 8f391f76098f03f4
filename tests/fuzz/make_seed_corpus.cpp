// Writes the fuzzer's seed corpus from receiver captures: each capture as recorded and with
// bare line feeds turned into CR LF, cut at line ends into pieces the fuzzer can mutate
// quickly, each piece behind a header (see fuzz_input.h) that cuts it in its own way.
//
// make_seed_corpus <folder of *.log captures> <corpus folder, emptied first>
#include "fuzz_input.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kPieceSize = 600;

struct Header {
    unsigned char fillerUnits = 0;
    unsigned char fillerPlace = 0;
    char fillerByte = 0;
    std::vector<unsigned char> cuts;
};

// Whole, byte by byte, small, mixed and large pieces, in turn.
const std::array kHeaders = {
    Header{},
    Header{0, 0, 0, {0}},
    Header{0, 0, 0, {14}},
    Header{0, 0, 0, {3, 40, 0, 200}},
    Header{0, 0, 0, {127}},
};
// For the first pieces of each capture only, as they are slow: a stretch without "$" past the
// limit, and a sentence that doesn't end within it.
const std::array kLongHeaders = {
    Header{255, 0, '.', {255}},
    Header{250, 2, 'x', {90, 255}},
};

std::string readFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string withCrLf(std::string_view bytes) {
    std::string converted;
    converted.reserve(bytes.size() + bytes.size() / 16);
    char previous = 0;
    for (const char byte : bytes) {
        if (byte == '\n' && previous != '\r') {
            converted += '\r';
        }
        converted += byte;
        previous = byte;
    }
    return converted;
}

// Pieces of about kPieceSize bytes, each ending at a line feed where there is one.
std::vector<std::string_view> piecesOf(std::string_view bytes) {
    std::vector<std::string_view> pieces;
    while (!bytes.empty()) {
        std::size_t end = bytes.rfind('\n', kPieceSize);
        end = end == std::string_view::npos ? std::min(kPieceSize, bytes.size()) : end + 1;
        pieces.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end);
    }
    return pieces;
}

std::string seed(const Header &header, std::string_view stream) {
    std::string bytes{static_cast<char>(header.fillerUnits), static_cast<char>(header.fillerPlace),
                      header.fillerByte, static_cast<char>(header.cuts.size())};
    bytes.append(header.cuts.begin(), header.cuts.end());
    bytes.append(stream);
    return bytes;
}

// GGA sentences of one character less than, just as many as, and one more than the limit on the
// held text: the filler makes up most of their length. The longest is followed by a short RMC
// sentence, which must show.
void writeLimitSeeds(const fs::path &corpus) {
    constexpr unsigned char kFiller = 247;
    constexpr std::string_view kHead = "$GPGGA,010203,";
    for (const std::size_t length : {32766, 32767, 32768}) {
        const std::size_t padding =
            length - kHead.size() - 2 - cronalba::fuzz::fillerLengthOf(kFiller);
        std::string stream = std::string(kHead) + std::string(padding, 'y') + "\r\n";
        if (length > 32767) {
            stream += "$GPRMC,040506,A\r\n";
        }
        // The filler goes right after the head: its place is the head's share of the stream.
        const auto place =
            static_cast<unsigned char>((kHead.size() * 255 + stream.size() - 1) / stream.size());
        std::ofstream(corpus / ("limit-" + std::to_string(length)), std::ios::binary)
            << seed(Header{kFiller, place, 'x', {255}}, stream);
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::cerr << "Uso: " << argv[0] << " <carpeta de capturas> <carpeta del corpus>\n";
        return 2;
    }
    const fs::path captures = argv[1];
    const fs::path corpus = argv[2];
    if (!fs::is_directory(captures)) {
        std::cerr << "No existe la carpeta de capturas " << captures << "\n";
        return 1;
    }
    fs::remove_all(corpus);
    fs::create_directories(corpus);

    writeLimitSeeds(corpus);
    std::size_t written = 3;
    for (const auto &entry : fs::directory_iterator(captures)) {
        if (entry.path().extension() != ".log") {
            continue;
        }
        const std::string recorded = readFile(entry.path());
        const std::string received = withCrLf(recorded);
        const std::array<std::pair<const char *, const std::string *>, 2> variants = {
            {{"lf", &recorded}, {"crlf", &received}}};
        for (const auto &[variant, bytes] : variants) {
            if (bytes == &received && received == recorded) {
                continue; // already all CR LF
            }
            std::size_t index = 0;
            for (const std::string_view piece : piecesOf(*bytes)) {
                const Header &header = index < kLongHeaders.size()
                                           ? kLongHeaders[index]
                                           : kHeaders[index % kHeaders.size()];
                const auto name =
                    entry.path().stem().string() + '-' + variant + '-' + std::to_string(index++);
                std::ofstream(corpus / name, std::ios::binary) << seed(header, piece);
                ++written;
            }
        }
    }
    std::cout << written << " semillas en " << corpus << "\n";
    return written > 0 ? 0 : 1;
}
