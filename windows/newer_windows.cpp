#include "newer_windows.h"

namespace cronalba::windows {

namespace {

// A function of a system DLL that the program has loaded already, or null where this Windows
// lacks it.
template <typename Function> Function systemFunction(const wchar_t *module, const char *name) {
    const HMODULE loaded = GetModuleHandleW(module);
    const FARPROC found = loaded ? GetProcAddress(loaded, name) : nullptr;
    // Through void (*)(), the one cast between function types that no compiler warns about.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

UINT dpiOf(HWND window) {
    using GetDpiForWindowCall = UINT(WINAPI *)(HWND);
    static const auto getDpiForWindow =
        systemFunction<GetDpiForWindowCall>(L"user32.dll", "GetDpiForWindow");
    const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

RECT windowRectFor(RECT client, DWORD style, UINT dpi) {
    using AdjustForDpiCall = BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        systemFunction<AdjustForDpiCall>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&client, style, FALSE, 0, dpi)) {
        AdjustWindowRectEx(&client, style, FALSE, 0);
    }
    return client;
}

FILETIME systemTimeNow() {
    using PreciseTimeCall = void(WINAPI *)(FILETIME *);
    static const auto preciseTime =
        systemFunction<PreciseTimeCall>(L"kernel32.dll", "GetSystemTimePreciseAsFileTime");
    FILETIME now{};
    if (preciseTime) {
        preciseTime(&now);
    } else {
        GetSystemTimeAsFileTime(&now);
    }
    return now;
}

void loadDllsFromSystemFolder() {
    using SetDefaultDllDirectoriesCall = BOOL(WINAPI *)(DWORD);
    static const auto setDefaultDllDirectories =
        systemFunction<SetDefaultDllDirectoriesCall>(L"kernel32.dll", "SetDefaultDllDirectories");
    if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetDllDirectoryW(L"");
    }
}

} // namespace cronalba::windows
