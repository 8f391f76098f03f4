#pragma once

// A change of the clock made by an elevated copy of the program. Without the right to set the
// clock, the window starts the program again through Windows' "runas", which asks for an
// administrator's consent, with one argument: how far to move the clock, in whole
// milliseconds, from the moment of the click. The copy shows no window and opens no port; it
// moves the clock from its own "now" and tells how that went in its exit status.

#include "computer_clock.h"
#include "message_pump.h"
#include "windows_clock.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace cronalba::windows {

// The exit statuses of the elevated copy. The named ends are small numbers, clear of 1 and 3,
// which the C runtime uses; a failure is kChangeFailed | its error code, which neither they nor
// an exception's code (0xC…) can be taken for.
inline constexpr DWORD kChangeMade = 0;
inline constexpr DWORD kChangeNotPermitted = 21; // refused the right even so
inline constexpr DWORD kChangeBadArgument = 22;  // nothing was changed
inline constexpr DWORD kChangeFailed = 0x20000000;

// The farthest the elevated copy moves the clock, either way.
inline constexpr std::chrono::milliseconds kLongestShift = std::chrono::hours(48);

// The argument that carries shift: its milliseconds in decimal.
std::wstring shiftArgument(std::chrono::milliseconds shift);
// The shift that arguments carry: exactly one, an optional sign and decimal digits, within
// kLongestShift; nothing for anything else.
std::optional<std::chrono::milliseconds> shiftOf(const std::vector<std::wstring> &arguments);

// The exit status for error, as moveClockBy gives it.
DWORD exitStatusOf(DWORD error);
// What the elevated copy's exit status means for the user.
ClockSetResult resultOfExitStatus(DWORD status);

// The program's arguments after its name.
std::vector<std::wstring> commandLineArguments();
// The elevated copy's whole work: moves the clock by the shift that arguments carry; the exit
// status.
DWORD makeElevatedChange(const std::vector<std::wstring> &arguments);

// Starts the elevated copy with argument and waits for it, pumping the window's messages.
ElevatedRun runElevated(const std::wstring &argument, MessagePump &pump);

} // namespace cronalba::windows
