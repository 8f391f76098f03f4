// Examines and drives another program's window for scripts/check-windows, under wine:
//
//   win_probe window CAPTION MS        waits up to MS for a visible top-level window CAPTION
//   win_probe text CAPTION ID [NEW]    sets control ID's text to NEW if given, prints its text
//   win_probe click CAPTION ID         posts BM_CLICK, so a handler may show a dialog
//   win_probe focus CAPTION            the ID of the control holding the keyboard focus
//   win_probe message-box TITLE MS     waits for a message box, describes it, presses OK
//   win_probe ports                    the program's COM ports, "n<TAB>COMn" a line
//
// Output is UTF-8; the exit status is 1, with the reason on stderr, when something is missing.
#include <windows.h>

#include "comm_control.h"

#include <string>

namespace {

void write(DWORD stream, const std::wstring &text) {
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
    DWORD written = 0;
    WriteFile(GetStdHandle(stream), utf8.data(), static_cast<DWORD>(utf8.size()), &written,
              nullptr);
}

int fail(const std::wstring &why) {
    write(STD_ERROR_HANDLE, L"win_probe: " + why + L"\n");
    return 1;
}

std::wstring textOf(HWND window) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}

// A visible top-level window of the class (any if null) and title, waiting up to ms for it.
HWND findWindow(const wchar_t *className, const std::wstring &title, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        const HWND window = FindWindowW(className, title.c_str());
        if ((window && IsWindowVisible(window)) || GetTickCount64() >= end) {
            return window && IsWindowVisible(window) ? window : nullptr;
        }
        Sleep(50);
    }
}

// "title:", "text:", "buttons:" (OK, or the ID of any other) and "icon: yes/no"; then OK.
int messageBox(const std::wstring &title, DWORD ms) {
    const HWND box = findWindow(L"#32770", title, ms);
    if (!box) {
        return fail(L"no message box titled \"" + title + L"\"");
    }
    std::wstring text, buttons, icon = L"no";
    for (HWND part = GetWindow(box, GW_CHILD); part; part = GetWindow(part, GW_HWNDNEXT)) {
        wchar_t kind[32] = {};
        GetClassNameW(part, kind, std::size(kind));
        // Wine's box keeps its icon control, empty, when it shows no icon.
        const bool isIcon = (GetWindowLongPtrW(part, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                            SendMessageW(part, STM_GETICON, 0, 0) != 0;
        const int id = GetDlgCtrlID(part);
        if (!IsWindowVisible(part)) {
            continue;
        } else if (_wcsicmp(kind, L"Button") == 0) {
            buttons += (buttons.empty() ? L"" : L" ") + (id == IDOK ? L"OK" : std::to_wstring(id));
        } else if (_wcsicmp(kind, L"Static") == 0 && isIcon) {
            icon = L"yes";
        } else if (_wcsicmp(kind, L"Static") == 0) {
            text += (text.empty() ? L"" : L"\n") + textOf(part);
        }
    }
    write(STD_OUTPUT_HANDLE, L"title: " + textOf(box) + L"\ntext: " + text + L"\nbuttons: " +
                                 buttons + L"\nicon: " + icon + L"\n");
    // Posted, because the box's owner may end at once.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
}

// The control of window that holds the keyboard focus (a combo box for its edit field).
HWND focusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    HWND control = info.hwndFocus;
    while (control && GetParent(control) != window) {
        control = GetParent(control);
    }
    return control;
}

} // namespace

// wmain, so that arguments arrive as UTF-16 whatever the code page.
int wmain(int argc, wchar_t **argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const std::wstring caption = argc > 2 ? argv[2] : L"";
    const int number = argc > 3 ? _wtoi(argv[3]) : 0; // a time in ms, or a control ID
    if (command == L"ports") {
        for (const auto &port : cronalba::windows::WindowsCommControl().ports()) {
            const std::wstring device(port.device.begin(), port.device.end());
            write(STD_OUTPUT_HANDLE, std::to_wstring(port.number) + L"\t" + device + L"\n");
        }
        return 0;
    }
    if (command == L"message-box") {
        return messageBox(caption, number);
    }
    const HWND window = findWindow(nullptr, caption, command == L"window" ? number : 0);
    if (!window || command == L"window") {
        return window ? 0 : fail(L"no window titled \"" + caption + L"\"");
    }
    const HWND control = command == L"focus" ? focusedControl(window) : GetDlgItem(window, number);
    if (!control) {
        return fail(L"no such control in the window");
    }
    if (command == L"focus") {
        write(STD_OUTPUT_HANDLE, std::to_wstring(GetDlgCtrlID(control)));
    } else if (command == L"click") {
        return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : fail(L"could not post the click");
    } else if (command == L"text") {
        if (argc > 4) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]),
                                SMTO_ABORTIFHUNG, 2000, &ignored);
        }
        write(STD_OUTPUT_HANDLE, textOf(control));
    } else {
        return fail(L"unknown command; see the top of win_probe.cpp");
    }
    return 0;
}
