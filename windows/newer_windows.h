#pragma once

// Calls that came after Windows 7, reached at run time so that the program starts on Windows 7
// SP1 too: each falls back to what Windows 7 has. The build declares Windows 7 as its target,
// so any other newer call fails to compile.

#include <windows.h>

namespace cronalba::windows {

// The dots per inch of window's screen (GetDpiForWindow, Windows 10 1607); before, the
// system's.
UINT dpiOf(HWND window);

// The outer size of a window of style whose client area is client, at dpi
// (AdjustWindowRectExForDpi, Windows 10 1607); before, at the system's scale.
RECT windowRectFor(RECT client, DWORD style, UINT dpi);

// The current UTC time as precisely as the system keeps it (GetSystemTimePreciseAsFileTime,
// Windows 8); before, to the clock tick.
FILETIME systemTimeNow();

// Loads DLLs by name from the system folder only, never from the program's folder, which may
// be a Downloads folder with anything in it (SetDefaultDllDirectories, Windows 8, and Windows 7
// with KB2533623); without it, at least not from the current folder.
void loadDllsFromSystemFolder();

} // namespace cronalba::windows
