// Examines and drives another program's window from a script, for the checks under wine:
//
//   win_probe wait-window CAPTION MS          until a visible top-level window has CAPTION
//   win_probe list CAPTION                    its controls, "id<TAB>class<TAB>text" a line
//   win_probe set-text CAPTION ID TEXT        WM_SETTEXT to control ID
//   win_probe click CAPTION ID                posts BM_CLICK, so a handler may show a dialog
//   win_probe wait-text CAPTION ID TEXT MS    until control ID shows TEXT
//   win_probe focus CAPTION                   the control holding the keyboard focus
//   win_probe message-box TITLE MS            waits for a message box, describes it, presses OK
//   win_probe ports                           the COM ports, "n<TAB>COMn<TAB>friendly name"
//
// Output is UTF-8; the exit status is 0 on success, 1 otherwise (with the reason on stderr).
#include <windows.h>

#include "comm_control.h"

#include <array>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT kReplyMs = 2000; // for a window that doesn't answer at all

void write(HANDLE stream, const std::wstring &text) {
    const int length = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(stream, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void say(const std::wstring &line) {
    write(GetStdHandle(STD_OUTPUT_HANDLE), line + L"\n");
}

int fail(const std::wstring &why) {
    write(GetStdHandle(STD_ERROR_HANDLE), L"win_probe: " + why + L"\n");
    return 1;
}

std::wstring textOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyMs, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kReplyMs, &copied);
    text.resize(copied);
    return text;
}

std::wstring classOf(HWND window) {
    std::array<wchar_t, 256> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

// Waits up to ms for found() to give a window; polling is fine in a test tool.
template <typename Find> HWND waitFor(Find found, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (const HWND window = found()) {
            return window;
        }
        if (GetTickCount64() >= end) {
            return nullptr;
        }
        Sleep(50);
    }
}

HWND visibleWindow(const wchar_t *className, const std::wstring &title) {
    const HWND window = FindWindowW(className, title.c_str());
    return window && IsWindowVisible(window) ? window : nullptr;
}

std::vector<HWND> controlsOf(HWND window) {
    std::vector<HWND> controls;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM found) {
            auto &list = *reinterpret_cast<std::vector<HWND> *>(found);
            list.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    // Only the window's own controls, not the parts of a combo box.
    std::erase_if(controls, [window](HWND child) { return GetParent(child) != window; });
    return controls;
}

std::wstring describe(HWND control) {
    return std::to_wstring(GetDlgCtrlID(control)) + L"\t" + classOf(control) + L"\t" +
           textOf(control);
}

const wchar_t *buttonName(int id) {
    switch (id) {
    case IDOK:
        return L"OK";
    case IDCANCEL:
        return L"CANCEL";
    case IDABORT:
        return L"ABORT";
    case IDRETRY:
        return L"RETRY";
    case IDIGNORE:
        return L"IGNORE";
    case IDYES:
        return L"YES";
    case IDNO:
        return L"NO";
    case IDHELP:
        return L"HELP";
    case IDTRYAGAIN:
        return L"TRYAGAIN";
    case IDCONTINUE:
        return L"CONTINUE";
    default:
        return L"OTHER";
    }
}

// Title, text, buttons by their IDs (whatever the language) and whether an icon shows; then OK.
int messageBox(const std::wstring &title, DWORD ms) {
    const HWND box = waitFor([&] { return visibleWindow(L"#32770", title); }, ms);
    if (!box) {
        return fail(L"no message box titled \"" + title + L"\"");
    }
    std::wstring text;
    std::wstring buttons;
    bool icon = false;
    HWND ok = nullptr;
    for (const HWND control : controlsOf(box)) {
        if (!IsWindowVisible(control)) {
            continue;
        }
        const std::wstring kind = classOf(control);
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        if (_wcsicmp(kind.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            DWORD_PTR shown = 0;
            SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kReplyMs, &shown);
            icon = icon || shown != 0;
        } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
            text += (text.empty() ? L"" : L"\n") + textOf(control);
        } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            const int id = GetDlgCtrlID(control);
            buttons += (buttons.empty() ? L"" : L" ") + std::wstring(buttonName(id));
            ok = id == IDOK ? control : ok;
        }
    }
    say(L"title: " + textOf(box));
    say(L"text: " + text);
    say(L"buttons: " + buttons);
    say(std::wstring(L"icon: ") + (icon ? L"yes" : L"no"));
    if (!ok) {
        return fail(L"the message box has no OK button");
    }
    // What the button sends when clicked; posted, because the box's owner may end at once.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    return 0;
}

int focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) {
        return fail(L"no control has the focus");
    }
    // A combo box's edit field holds the focus for its combo box.
    HWND control = info.hwndFocus;
    while (control && GetParent(control) != window) {
        control = GetParent(control);
    }
    if (!control) {
        return fail(L"the focus is outside the window");
    }
    say(describe(control));
    return 0;
}

int run(const std::vector<std::wstring> &args) {
    const auto count = args.size();
    const std::wstring command = count > 1 ? args[1] : L"";
    const auto number = [&](std::size_t index) {
        return std::wcstoul(args[index].c_str(), nullptr, 10);
    };
    if (command == L"message-box" && count == 4) {
        return messageBox(args[2], number(3));
    }
    if (command == L"ports" && count == 2) {
        for (const auto &port : cronalba::windows::WindowsCommControl().ports()) {
            say(std::to_wstring(port.number) + L"\t" +
                std::wstring(port.device.begin(), port.device.end()) + L"\t" +
                std::wstring(port.description.begin(), port.description.end()));
        }
        return 0;
    }
    const bool known = (command == L"wait-window" && count == 4) ||
                       ((command == L"list" || command == L"focus") && count == 3) ||
                       (command == L"set-text" && count == 5) ||
                       (command == L"click" && count == 4) ||
                       (command == L"wait-text" && count == 6);
    if (!known) {
        return fail(L"unknown command or wrong arguments; see the top of win_probe.cpp");
    }
    const std::wstring &caption = args[2];
    const DWORD waitMs = command == L"wait-window" ? number(3) : 0;
    const HWND window = waitFor([&] { return visibleWindow(nullptr, caption); }, waitMs);
    if (!window) {
        return fail(L"no window titled \"" + caption + L"\"");
    }
    if (command == L"wait-window") {
        return 0;
    }
    if (command == L"list") {
        for (const HWND control : controlsOf(window)) {
            say(describe(control));
        }
        return 0;
    }
    if (command == L"focus") {
        return focus(window);
    }
    const HWND control = GetDlgItem(window, static_cast<int>(number(3)));
    if (!control) {
        return fail(L"no control " + args[3] + L" in \"" + caption + L"\"");
    }
    if (command == L"set-text") {
        // Read back, since what WM_SETTEXT returns differs between edits and combo boxes.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[4].c_str()),
                            SMTO_ABORTIFHUNG, kReplyMs, &ignored);
        return textOf(control) == args[4] ? 0 : fail(L"control " + args[3] + L" refused the text");
    }
    if (command == L"click") {
        return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : fail(L"could not click " + args[3]);
    }
    // wait-text
    const std::wstring &expected = args[4];
    const bool shown = waitFor([&] { return textOf(control) == expected ? control : nullptr; },
                               number(5)) != nullptr;
    return shown ? 0
                 : fail(L"control " + args[3] + L" shows \"" + textOf(control) + L"\", not \"" +
                        expected + L"\"");
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    return run({argv, argv + argc});
}
