#pragma once

#include "text.h"

#include <cstdint>
#include <optional>

namespace cronalba {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// A serial port's line settings, as read from a text "speed,parity,data bits,stop bits".
struct PortSettings {
    std::int32_t baudRate = 0;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    bool operator==(const PortSettings &) const = default;
};

// strSettings for a speed text: the text as typed followed by ",n,8,1" ("4800" -> "4800,n,8,1").
Text settingsForSpeed(TextView speedText);

// Reads "speed,parity,data bits,stop bits": the speed as decimal digits only (no sign, no
// blank) from 1 up, the parity one of n, e, o, m, s (either case), 5 to 8 data bits and 1, 1.5
// or 2 stop bits. Nothing for any other text.
std::optional<PortSettings> parsePortSettings(TextView settings);

// intPort for a port text: its leading number rounded with halves to even (" 2" -> 2,
// "2.5" -> 2, "3.5" -> 4, "COM2" -> 0). Nothing when that falls outside the 16-bit range.
std::optional<std::int16_t> portNumberFromText(TextView portText);

} // namespace cronalba
