#include "sentence_assembler.h"

#include "nmea_time.h"

#include <algorithm>

namespace cronalba {

namespace {
constexpr TextView kCrLf = u"\r\n";
} // namespace

std::vector<TimeOfDay> SentenceAssembler::appendAndExtract(TextView received) {
    // Between passes the held text either has no "$" at all, or starts with a "$" whose sentence
    // isn't complete; so only the new text needs searching, from the character before it (a
    // carriage return may be waiting for its line feed).
    const std::size_t oldSize = strBuffer.size();
    const bool waitingSentence = oldSize > front && strBuffer[front] == u'$';
    strBuffer.append(received);

    std::vector<TimeOfDay> times;
    std::size_t start = front;                                    // first character still held
    std::size_t dollarFrom = waitingSentence ? front : oldSize;   // no "$" before this
    std::size_t crLfFrom = oldSize > front ? oldSize - 1 : front; // no CR LF from start before this

    for (;;) {
        const std::size_t dollar = strBuffer.find(u'$', dollarFrom);
        if (dollar == Text::npos) {
            // Nothing to wait for: keep only the newest characters.
            start = std::max(start, strBuffer.size() - std::min(strBuffer.size(), kMaxBuffer));
            break;
        }
        start = dollar;
        const std::size_t crLf = strBuffer.find(kCrLf, std::max(crLfFrom, start));
        const std::size_t sentenceEnd = crLf == Text::npos ? Text::npos : crLf + kCrLf.size();
        if (sentenceEnd == Text::npos || sentenceEnd - start > kMaxBuffer) {
            if (strBuffer.size() - start < kMaxBuffer) {
                break; // may still end within the limit: wait for more text
            }
            // This sentence can't end within the limit: give up its "$" for the next one.
            crLfFrom = crLf == Text::npos ? strBuffer.size() - 1 : crLf;
            start = dollar + 1;
            dollarFrom = start;
            continue;
        }
        // strSentence runs from the "$" to the carriage return; the line feed after it stays
        // in front of the next sentence and goes with whatever precedes that sentence's "$".
        const TextView strSentence = TextView(strBuffer).substr(start, crLf + 1 - start);
        if (const auto time = sentenceTime(strSentence)) {
            times.push_back(*time);
        }
        start = crLf + 1;
        dollarFrom = start;
        crLfFrom = start;
    }
    front = start;
    if (front >= strBuffer.size() - front) {
        strBuffer.erase(0, front);
        front = 0;
    }
    return times;
}

} // namespace cronalba
