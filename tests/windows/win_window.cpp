// The Windows front end's window over the core's stand-ins, driven with messages in its own
// process, run under wine by scripts/check-windows: its layout and fonts at the system's scale
// and after a change of scale, the focus and the tab order through the dialog manager, the
// message boxes over it and a click that reaches it while one is open. Prints each failure and
// "N passed, N failed"; the exit status is 1 when any failed.
#include "form1_window.h"
#include "messages.h"
#include "system_services.h"

#include "../core/fakes.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using cronalba::ControlId;
using cronalba::ControlKind;
using cronalba::ControlRow;
using cronalba::kForm1Layout;
using cronalba::twipsToPixels;
using cronalba::windows::Form1Window;

int passed = 0;
int failed = 0;

void check(bool ok, const std::string &what) {
    ok ? ++passed : ++failed;
    if (!ok) {
        std::printf("FALLO: %s\n", what.c_str());
    }
}

std::wstring wide(cronalba::TextView text) {
    return {text.begin(), text.end()};
}

std::wstring textOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

// A message box as it was while open: its title and text, whether it showed an icon, and
// whether its owner was disabled meanwhile.
struct Box {
    std::wstring title;
    std::wstring text;
    bool icon = false;
    HWND owner = nullptr;
    bool ownerEnabled = true;
};
std::vector<Box> boxesSeen;
HWND strayButton = nullptr; // clicked once while the first box is open

Box describe(HWND box) {
    Box shown{textOf(box), L"", false, GetWindow(box, GW_OWNER), true};
    shown.ownerEnabled = shown.owner && IsWindowEnabled(shown.owner);
    for (HWND part = GetWindow(box, GW_CHILD); part; part = GetWindow(part, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        GetClassNameW(part, kind, static_cast<int>(std::size(kind)));
        if (IsWindowVisible(part) && _wcsicmp(kind, L"Static") == 0) {
            // Wine's box keeps its icon control, empty, when it shows no icon.
            const bool icon = (GetWindowLongPtrW(part, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            shown.icon = shown.icon || (icon && SendMessageW(part, STM_GETICON, 0, 0) != 0);
            shown.text += icon ? L"" : textOf(part);
        }
    }
    return shown;
}

// Each tick within a box's modal loop: a new box is noted (and given the stray click), one
// noted before is closed with OK.
void CALLBACK watchBoxes(HWND /*window*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/) {
    const HWND box = FindWindowW(L"#32770", nullptr);
    if (box && GetPropW(box, L"seen")) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    } else if (box) {
        SetPropW(box, L"seen", box);
        boxesSeen.push_back(describe(box));
        if (strayButton) {
            PostMessageW(std::exchange(strayButton, nullptr), BM_CLICK, 0, 0);
        }
    }
}

// Form1Window over the stand-ins, with the real message box owned by the window, as the program
// has it.
struct Window {
    Window() {
        messages.setOwner(form.handle());
        form.show(SW_SHOWNORMAL);
        pump();
    }
    HWND control(ControlId id) const {
        return GetDlgItem(form.handle(), Form1Window::controlIdOf(id));
    }
    // Handles what is waiting, the dialog keys through the window as the program's pump does.
    void pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!form.handleDialogKey(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    // The name of the control that has the focus (a combo box for its field).
    std::string focused() const {
        for (const ControlRow &row : kForm1Layout) {
            if (control(row.id) == GetFocus() || IsChild(control(row.id), GetFocus())) {
                return row.name;
            }
        }
        return "?";
    }
    void pressTab() {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(GetFocus(), WM_KEYUP, VK_TAB, 0xC00F0001);
        pump();
    }
    // Types text over what the box holds, a key at a time.
    void type(ControlId id, const std::wstring &text) {
        const HWND field = FindWindowExW(control(id), nullptr, L"Edit", nullptr);
        SendMessageW(field ? field : control(id), EM_SETSEL, 0, -1);
        for (const wchar_t key : text) {
            SendMessageW(field ? field : control(id), WM_CHAR, key, 1);
        }
    }
    // Clicks the button and notes the boxes it opens, the first one given strayClick.
    void click(ControlId button, ControlId strayClick = ControlId::Form1) {
        boxesSeen.clear();
        strayButton = strayClick == ControlId::Form1 ? nullptr : control(strayClick);
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, watchBoxes);
        SendMessageW(control(button), BM_CLICK, 0, 0);
        KillTimer(nullptr, timer);
        pump();
    }

    cronalba::testing::FakeComm comm;
    cronalba::testing::FakeClock clock;
    cronalba::windows::WindowsMessageDialog messages;
    cronalba::testing::FakeProgramEnd programEnd;
    Form1Window form{GetModuleHandleW(nullptr), {comm, clock, messages, programEnd}};
};

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

int CALLBACK noteFound(const LOGFONTW * /*font*/, const TEXTMETRICW * /*metrics*/, DWORD /*type*/,
                       LPARAM found) {
    *reinterpret_cast<bool *>(found) = true;
    return 0;
}

bool installed(const cronalba::FontSpec &spec) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, reinterpret_cast<const wchar_t *>(spec.family), LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// Whether an edit field shows the whole of its text, scrolled to its start: the character
// nearest its right edge is the end of the text.
bool showsWholeText(HWND field) {
    SendMessageW(field, EM_SETSEL, 0, 0);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
    RECT inside{};
    GetClientRect(field, &inside);
    const auto rightMargin = HIWORD(SendMessageW(field, EM_GETMARGINS, 0, 0));
    const LPARAM edge = MAKELPARAM(inside.right - rightMargin - 1, inside.bottom / 2);
    return LOWORD(SendMessageW(field, EM_CHARFROMPOS, 0, edge)) == GetWindowTextLengthW(field);
}

// The window as laid out at dpi: every input shows its whole first text, every caption is as
// wide as the part of its box that shows, each drop-down holds a row for each entry of its own
// list, and the fonts are the window's and the heading's at that scale. Gives each place.
std::vector<RECT> checkLayout(const Window &window, int dpi) {
    const std::string at = " a " + std::to_string(dpi) + " ppp";
    std::vector<RECT> places;
    for (const ControlRow &row : kForm1Layout) {
        const HWND box = window.control(row.id);
        RECT &place = places.emplace_back();
        GetWindowRect(box, &place);
        MapWindowPoints(HWND_DESKTOP, window.form.handle(), reinterpret_cast<POINT *>(&place), 2);
        const HWND field = FindWindowExW(box, nullptr, L"Edit", nullptr);
        if (row.kind == ControlKind::TextBox || field) {
            check(showsWholeText(field ? field : box), row.name + (" muestra su texto" + at));
        }
        if (row.kind == ControlKind::Label) {
            check(place.right - place.left == twipsToPixels(cronalba::visibleWidth(row.id), dpi),
                  row.name + (" tiene el ancho que se ve" + at));
        }
        if (row.kind == ControlKind::ComboBox) {
            // The field and a row per entry: Windows gives the whole dropped box, wine that
            // height less the field's.
            RECT dropped{};
            SendMessageW(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            const auto rows = SendMessageW(box, CB_GETCOUNT, 0, 0);
            const auto whole = twipsToPixels(row.height, dpi) + 2 +
                               rows * SendMessageW(box, CB_GETITEMHEIGHT, 0, 0);
            const LONG height = dropped.bottom - dropped.top;
            check(height == whole || height == whole - (place.bottom - place.top),
                  row.name + (": una fila por entrada en la lista" + at));
        }
    }
    // The window's font steps down from its family's size until the labels fit, but not below
    // the smallest; the heading's is bold at its own size.
    const auto height = [dpi](double points) { return -std::lround(points * dpi / 72.0); };
    // The first of the window's fonts that the system has, the last one whether or not.
    const cronalba::FontSpec family =
        *std::find_if(cronalba::kWindowFonts.begin(), cronalba::kWindowFonts.end() - 1, installed);
    const LOGFONTW font = fontOf(window.control(ControlId::Label1_0));
    const LOGFONTW heading = fontOf(window.control(ControlId::Label5));
    check(font.lfFaceName == wide(family.family) && font.lfHeight >= height(family.points) &&
              font.lfHeight <= height(cronalba::kSmallestPoints),
          "la letra de la ventana es la primera instalada, a su tamaño" + at);
    check(fontOf(window.control(ControlId::txtOffset)).lfHeight == font.lfHeight &&
              heading.lfWeight == FW_BOLD &&
              heading.lfHeight == height(cronalba::kHeadingFont.points),
          "los campos llevan la letra de la ventana, el título la suya" + at);
    return places;
}

// The focus starts where the first typing belongs, and Tab walks the inputs in their order.
void focusAndTab(Window &window) {
    check(window.focused() == "txtOffset", "el foco empieza en " + window.focused());
    std::string walked;
    for (int i = 0; i < 6; ++i) {
        window.pressTab();
        walked += window.focused() + " ";
    }
    check(walked == "comPuerto comBaudios Command1 cmdSync Command2 txtOffset ",
          "el tabulador recorre " + walked);
}

// At the system's scale, then on a screen 1.5 times as dense: every place 1.5 times the first.
void layoutAndScale(Window &window) {
    const HWND handle = window.form.handle();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT client{};
    GetClientRect(handle, &client);
    const SIZE expected = dpi == 96 ? SIZE{414, 432} : dpi == 144 ? SIZE{621, 648} : SIZE{};
    check(expected.cx == 0 || (client.right == expected.cx && client.bottom == expected.cy),
          "el área de la ventana a " + std::to_string(dpi) + " ppp es " +
              std::to_string(client.right) + " × " + std::to_string(client.bottom));
    const std::vector<RECT> before = checkLayout(window, dpi);
    // The window takes the size it is offered.
    RECT offered{};
    GetWindowRect(handle, &offered);
    offered.right += client.right / 2;
    offered.bottom += client.bottom / 2;
    SendMessageW(handle, WM_DPICHANGED, MAKEWPARAM(dpi * 3 / 2, dpi * 3 / 2),
                 reinterpret_cast<LPARAM>(&offered));
    const std::vector<RECT> after = checkLayout(window, dpi * 3 / 2);
    const auto scaled = [](LONG first, LONG now) { return std::abs(now - first * 1.5) <= 1; };
    for (std::size_t i = 0; i < after.size(); ++i) {
        const RECT &a = before[i];
        const RECT &b = after[i];
        const bool combo = kForm1Layout[i].kind == ControlKind::ComboBox; // as high as its font
        check(scaled(a.left, b.left) && scaled(a.top, b.top) &&
                  scaled(a.right - a.left, b.right - b.left) &&
                  (combo || scaled(a.bottom - a.top, b.bottom - b.top)),
              kForm1Layout[i].name + std::string(" está a 1,5 veces su sitio"));
    }
}

// A port that fails to open, with the port and the speed typed: one box over the window,
// without icon, that disables the window while open, so a click that reaches a button
// meanwhile does nothing; then the end, status 1.
void portFailure() {
    Window window;
    window.comm.failing = "PortOpen";
    window.type(ControlId::comPuerto, L"7");
    window.type(ControlId::comBaudios, L"9600");
    window.click(ControlId::Command1, ControlId::Command1);
    check(window.comm.calls ==
              std::vector<std::string>{"Settings=9600", "CommPort=7", "PortOpen=true"},
          "el puerto y la velocidad tecleados llegan al control, una vez");
    check(boxesSeen.size() == 1 && boxesSeen[0].text == wide(cronalba::kPortFailure) &&
              boxesSeen[0].title == wide(cronalba::kAppTitle) && !boxesSeen[0].icon,
          "un mensaje, el del programa, sin icono");
    check(!boxesSeen.empty() && boxesSeen[0].owner == window.form.handle() &&
              !boxesSeen[0].ownerEnabled && IsWindowEnabled(window.form.handle()),
          "el mensaje es de la ventana, que queda inactiva mientras se ve");
    check(window.programEnd.status == 1, "tras el mensaje, el programa termina con estado 1");
}

// A refused change: the warning over the window is the core's words for the refusal.
void refusals() {
    using cronalba::ClockOutcome;
    Window window;
    window.comm.receive(
        u"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n");
    window.type(ControlId::txtOffset, L"+0");
    for (const ClockOutcome outcome : {ClockOutcome::NeedsAdministrator,
                                       ClockOutcome::ConsentRefused, ClockOutcome::TimeSkipped}) {
        window.clock.refusal = cronalba::ClockSetResult{outcome, {}};
        window.click(ControlId::cmdSync);
        check(boxesSeen.size() == 1 &&
                  boxesSeen[0].text == wide(cronalba::clockRefusalMessage(*window.clock.refusal)) &&
                  boxesSeen[0].icon && boxesSeen[0].owner == window.form.handle(),
              "el aviso del rechazo " + std::to_string(static_cast<int>(outcome)));
    }
}

} // namespace

int main() {
    SetProcessDPIAware(); // the window's own pixels, whatever its scale, as the program's manifest
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    {
        Window window;
        focusAndTab(window);
        layoutAndScale(window);
    }
    portFailure();
    refusals();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
