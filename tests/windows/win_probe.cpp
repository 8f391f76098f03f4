// Examines and drives another program's window for scripts/check-windows, under wine. Controls
// are named as in the layout table (comPuerto, cmdSync, ...):
//
//   win_probe window CAPTION MS        waits up to MS for a visible top-level window CAPTION
//   win_probe text CAPTION NAME [NEW]  sets the control's text to NEW if given, prints its text
//   win_probe click CAPTION NAME       posts BM_CLICK, so a handler may show a dialog
//   win_probe close CAPTION            closes the window as its title bar's close button does
//   win_probe tab CAPTION N            presses Tab N times; prints where the focus is after each
//                                      (N = 0: where it is)
//   win_probe layout CAPTION           "client WIDTH HEIGHT", then "NAME LEFT TOP WIDTH HEIGHT"
//                                      per control, "fits" or "cut" after an input's (its text)
//                                      and a label's (its width: the part no input hides)
//   win_probe message-box TITLE MS     waits for a message box, describes it and its owner,
//                                      presses OK
//   win_probe count TITLE              how many visible top-level windows are titled TITLE
//   win_probe says WHAT                the program's words: caption, title, port-failure, or
//                                      refusal (a clock change refused for want of rights)
//   win_probe ports                    the program's COM ports, "n<TAB>COMn" a line
//
// Output is UTF-8; the exit status is 1, with the reason on stderr, when something is missing.
#include <windows.h>

#include "comm_control.h"
#include "form1_window.h"
#include "messages.h"

#include <string>

namespace {

using cronalba::ControlKind;
using cronalba::ControlRow;
using cronalba::kForm1Layout;
using cronalba::windows::Form1Window;

void write(DWORD stream, const std::wstring &text) {
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
    DWORD written = 0;
    WriteFile(GetStdHandle(stream), utf8.data(), static_cast<DWORD>(utf8.size()), &written,
              nullptr);
}
void print(const std::wstring &text) {
    write(STD_OUTPUT_HANDLE, text + L"\n");
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

std::wstring nameOf(const ControlRow &row) {
    return {row.name, row.name + std::char_traits<char>::length(row.name)};
}

// A visible top-level window of the class (any if null) and title, waiting up to ms for it.
HWND findWindow(const wchar_t *className, const std::wstring &title, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    HWND window = nullptr;
    while (!((window = FindWindowW(className, title.c_str())) && IsWindowVisible(window)) &&
           GetTickCount64() < end) {
        Sleep(50);
    }
    return window && IsWindowVisible(window) ? window : nullptr;
}

HWND controlOf(HWND window, const ControlRow &row) {
    return GetDlgItem(window, Form1Window::controlIdOf(row.id));
}

// "title:", "text:", "buttons:" (OK, or the ID of any other), "icon: yes/no" and "owner:" its
// caption, "(disabled)" if it takes no input meanwhile; then OK.
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
    const HWND owner = GetWindow(box, GW_OWNER);
    print(L"title: " + textOf(box) + L"\ntext: " + text + L"\nbuttons: " + buttons + L"\nicon: " +
          icon + L"\nowner: " + (owner ? textOf(owner) : L"-") +
          (IsWindowEnabled(owner) ? L"" : L" (disabled)"));
    // Posted, because the box's owner may end at once.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
}

// The name of the control of window that holds the keyboard focus (a combo box for its field).
std::wstring focusName(HWND window, HWND *focus = nullptr) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    if (focus) {
        *focus = info.hwndFocus;
    }
    for (const ControlRow &row : kForm1Layout) {
        const HWND control = controlOf(window, row);
        if (control && (control == info.hwndFocus || IsChild(control, info.hwndFocus))) {
            return nameOf(row);
        }
    }
    return L"?";
}

// Presses Tab where the focus is, as the keyboard would, and waits for the focus to move.
int pressTab(HWND window, int times) {
    for (int i = 0; i < times; ++i) {
        HWND focus = nullptr;
        const std::wstring before = focusName(window, &focus);
        PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC00F0001);
        for (int wait = 0; wait < 40 && focusName(window) == before; ++wait) {
            Sleep(25);
        }
        print(focusName(window));
    }
    return times == 0 ? (print(focusName(window)), 0) : 0;
}

// Whether an edit field shows the whole of its text: the character nearest its right edge is
// the end of the text. (Measured by the field itself: another process can't use its font.)
bool showsWholeText(HWND field) {
    RECT inside{};
    GetClientRect(field, &inside);
    const auto rightMargin = HIWORD(SendMessageW(field, EM_GETMARGINS, 0, 0));
    const LPARAM edge = MAKELPARAM(inside.right - rightMargin - 1, inside.bottom / 2);
    // WM_GETTEXTLENGTH itself: GetWindowTextLengthW doesn't ask another process's window.
    return LOWORD(SendMessageW(field, EM_CHARFROMPOS, 0, edge)) ==
           SendMessageW(field, WM_GETTEXTLENGTH, 0, 0);
}

// Where each control lies in the window's client area; a combo box's height follows its font,
// so it is given as "-". A label is laid out, and its text wrapped, at the width that shows.
int describeLayout(HWND window) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT client{};
    GetClientRect(window, &client);
    print(L"client " + std::to_wstring(client.right) + L" " + std::to_wstring(client.bottom));
    for (const ControlRow &row : kForm1Layout) {
        const HWND control = controlOf(window, row);
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT *>(&place), 2);
        const bool combo = row.kind == ControlKind::ComboBox;
        std::wstring line = nameOf(row);
        for (const LONG value : {place.left, place.top, place.right - place.left}) {
            line += L" " + std::to_wstring(value);
        }
        line += combo ? L" -" : L" " + std::to_wstring(place.bottom - place.top);
        if (combo || row.kind == ControlKind::TextBox) {
            const HWND field = combo ? FindWindowExW(control, nullptr, L"Edit", nullptr) : control;
            line += showsWholeText(field) ? L" fits" : L" cut";
        }
        if (row.kind == ControlKind::Label) {
            const int shown = cronalba::twipsToPixels(cronalba::visibleWidth(row.id), dpi);
            line += place.right - place.left == shown ? L" fits" : L" cut";
        }
        print(line);
    }
    return 0;
}

int onControl(const std::wstring &command, HWND window, const std::wstring &name,
              const wchar_t *newText) {
    HWND control = nullptr;
    for (const ControlRow &row : kForm1Layout) {
        control = nameOf(row) == name ? controlOf(window, row) : control;
    }
    if (!control) {
        return fail(L"no control " + name + L" in the window");
    }
    if (command == L"click") {
        return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : fail(L"could not post the click");
    }
    DWORD_PTR ignored = 0;
    if (newText) {
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(newText),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
    }
    write(STD_OUTPUT_HANDLE, textOf(control));
    return 0;
}

// The program's own words, so that the check restates none of them: the window's caption, the
// boxes' title, the port failure, or the warning of a clock change refused for want of rights.
int says(const std::wstring &what) {
    using cronalba::TextView;
    const cronalba::Text refusal =
        cronalba::clockRefusalMessage({cronalba::ClockOutcome::NeedsAdministrator, {}});
    const std::pair<const wchar_t *, TextView> texts[] = {{L"caption", cronalba::kCaption},
                                                          {L"title", cronalba::kAppTitle},
                                                          {L"port-failure", cronalba::kPortFailure},
                                                          {L"refusal", refusal}};
    for (const auto &[name, text] : texts) {
        if (what == name) {
            print(std::wstring(text.begin(), text.end()));
            return 0;
        }
    }
    return fail(L"no text called " + what);
}

} // namespace

// wmain, so that arguments arrive as UTF-16 whatever the code page.
int wmain(int argc, wchar_t **argv) {
    SetProcessDPIAware(); // places in the window's own pixels, whatever its scale
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const std::wstring caption = argc > 2 ? argv[2] : L"";
    const int number = argc > 3 ? _wtoi(argv[3]) : 0; // a time in ms, or a count
    if (command == L"ports") {
        for (const auto &port : cronalba::windows::WindowsCommControl().ports()) {
            print(std::to_wstring(port.number) + L"\t" +
                  std::wstring(port.device.begin(), port.device.end()));
        }
        return 0;
    }
    if (command == L"says") {
        return says(caption);
    }
    if (command == L"message-box") {
        return messageBox(caption, number);
    }
    if (command == L"count") {
        int count = 0;
        for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
            count += IsWindowVisible(window) && textOf(window) == caption ? 1 : 0;
        }
        print(std::to_wstring(count));
        return 0;
    }
    const HWND window = findWindow(nullptr, caption, command == L"window" ? number : 0);
    if (!window || command == L"window") {
        return window ? 0 : fail(L"no window titled \"" + caption + L"\"");
    }
    if (command == L"close") {
        return PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : fail(L"could not close");
    }
    if (command == L"tab") {
        return pressTab(window, number);
    }
    if (command == L"layout") {
        return describeLayout(window);
    }
    if ((command == L"click" || command == L"text") && argc > 3) {
        return onControl(command, window, argv[3], argc > 4 ? argv[4] : nullptr);
    }
    return fail(L"unknown command; see the top of win_probe.cpp");
}
