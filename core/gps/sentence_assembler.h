#pragma once

#include "text.h"
#include "time_of_day.h"

#include <cstddef>
#include <vector>

namespace cronalba {

// Turns the pieces of an NMEA stream, as the serial port delivers them, into whole sentences
// and picks the time out of every GGA and RMC sentence among them.
//
// A sentence starts at "$" and ends at the first carriage return + line feed after it; text in
// front of a "$" is dropped once the "$" is there. The held text (strBuffer) never grows past
// kMaxBuffer characters: without a "$" the oldest characters go, and a "$" whose sentence
// can't end within kMaxBuffer characters is given up for the next "$".
class SentenceAssembler {
public:
    static constexpr std::size_t kMaxBuffer = 32767;

    // Appends the received text and handles every complete sentence now held, in order.
    // Returns the times they carry, oldest first: the GPS display shows the last one.
    std::vector<TimeOfDay> appendAndExtract(TextView received);

    // The text received and not consumed yet.
    TextView buffer() const { return TextView(strBuffer).substr(front); }

private:
    // The held text is strBuffer from front on. Consumed text stays in front of it until it is
    // as long as the held text, and then goes at once: each character is moved at most once on
    // average, however small the reads.
    Text strBuffer;
    std::size_t front = 0;
};

} // namespace cronalba
