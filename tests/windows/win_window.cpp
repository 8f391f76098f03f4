// The window of the Windows front end over the core's stand-ins, driven with messages in its own
// process, run under wine by scripts/check-windows: its layout and fonts at the system's scale
// and after a change of scale, the focus and the tab order through the dialog manager, the
// message boxes over it and a click that reaches it while one is open. Prints each failure and
// "N passed, N failed"; the exit status is 1 when any failed.
#include "form1_window.h"
#include "messages.h"
#include "system_services.h"

#include "../core/fakes.h"

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using cronalba::ControlId;
using cronalba::ControlKind;
using cronalba::ControlRow;
using cronalba::kForm1Layout;
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

int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A message box of this thread as it was while open.
struct Box {
    std::wstring title;
    std::wstring text;
    bool icon = false;
    HWND owner = nullptr;
    bool ownerEnabled = true;
};

// Watches for message boxes while a handler runs: notes each one, clicks the button stray (if
// any) once while it is open, and closes it on the next tick with answer (IDOK where the box
// has no such button).
class BoxWatcher {
public:
    static inline std::vector<Box> seen;
    static inline int mostOpen = 0;
    static inline HWND stray = nullptr;
    static inline int answer = IDOK;

    BoxWatcher() { timer = SetTimer(nullptr, 0, 100, onTick); }
    ~BoxWatcher() { KillTimer(nullptr, timer); }
    BoxWatcher(const BoxWatcher &) = delete;
    BoxWatcher &operator=(const BoxWatcher &) = delete;

private:
    static BOOL CALLBACK collect(HWND window, LPARAM boxes) {
        wchar_t kind[16] = {};
        GetClassNameW(window, kind, static_cast<int>(std::size(kind)));
        if (IsWindowVisible(window) && std::wstring(kind) == L"#32770") {
            reinterpret_cast<std::vector<HWND> *>(boxes)->push_back(window);
        }
        return TRUE;
    }
    static Box describe(HWND box) {
        Box shown{textOf(box), L"", false, GetWindow(box, GW_OWNER), true};
        shown.ownerEnabled = shown.owner && IsWindowEnabled(shown.owner);
        for (HWND part = GetWindow(box, GW_CHILD); part; part = GetWindow(part, GW_HWNDNEXT)) {
            wchar_t kind[16] = {};
            GetClassNameW(part, kind, static_cast<int>(std::size(kind)));
            if (!IsWindowVisible(part) || _wcsicmp(kind, L"Static") != 0) {
                continue;
            }
            // Wine's box keeps its icon control, empty, when it shows no icon.
            if ((GetWindowLongPtrW(part, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                shown.icon = shown.icon || SendMessageW(part, STM_GETICON, 0, 0) != 0;
            } else {
                shown.text += textOf(part);
            }
        }
        return shown;
    }
    static void CALLBACK onTick(HWND /*window*/, UINT /*message*/, UINT_PTR /*id*/,
                                DWORD /*time*/) {
        std::vector<HWND> boxes;
        EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&boxes));
        mostOpen = std::max(mostOpen, static_cast<int>(boxes.size()));
        for (HWND box : boxes) {
            if (GetPropW(box, L"seen")) {
                const int button = GetDlgItem(box, answer) ? answer : IDOK;
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                continue;
            }
            SetPropW(box, L"seen", box);
            seen.push_back(describe(box));
            if (stray) {
                PostMessageW(std::exchange(stray, nullptr), BM_CLICK, 0, 0);
            }
        }
    }
    UINT_PTR timer = 0;
};

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
        const HWND focus = GetFocus();
        for (const ControlRow &row : kForm1Layout) {
            const HWND box = control(row.id);
            if (box && (box == focus || IsChild(box, focus))) {
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
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        const HWND field = GetComboBoxInfo(control(id), &combo) ? combo.hwndItem : control(id);
        SendMessageW(field, EM_SETSEL, 0, -1);
        for (const wchar_t key : text) {
            SendMessageW(field, WM_CHAR, key, 1);
        }
    }
    // Clicks the button and notes the boxes it opens, with the stray click given to the first.
    void click(ControlId button, ControlId strayClick = ControlId::Form1) {
        BoxWatcher::seen.clear();
        BoxWatcher::mostOpen = 0;
        BoxWatcher::stray = strayClick == ControlId::Form1 ? nullptr : control(strayClick);
        const BoxWatcher watcher;
        SendMessageW(control(button), BM_CLICK, 0, 0);
        pump();
    }

    cronalba::testing::FakeComm comm;
    cronalba::testing::FakeClock clock;
    cronalba::windows::WindowsMessageDialog messages;
    cronalba::testing::FakeProgramEnd programEnd;
    Form1Window form{GetModuleHandleW(nullptr), {comm, clock, messages, programEnd}};
};

RECT placeIn(HWND window, HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT *>(&place), 2);
    return place;
}

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

// The first of the window's fonts that the system has, the last one whether or not.
std::wstring firstInstalledWindowFont() {
    HDC screen = GetDC(nullptr);
    std::wstring family;
    for (const cronalba::FontSpec &spec : cronalba::kWindowFonts) {
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        family = reinterpret_cast<const wchar_t *>(spec.family);
        lstrcpynW(wanted.lfFaceName, family.c_str(), LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return family;
}

// Whether an edit field shows the whole of its text: the character nearest its right edge is
// the end of the text.
bool showsWholeText(HWND field) {
    RECT inside{};
    GetClientRect(field, &inside);
    const auto rightMargin = HIWORD(SendMessageW(field, EM_GETMARGINS, 0, 0));
    const LPARAM edge = MAKELPARAM(inside.right - rightMargin - 1, inside.bottom / 2);
    return LOWORD(SendMessageW(field, EM_CHARFROMPOS, 0, edge)) == GetWindowTextLengthW(field);
}

// The window as laid out at dpi: every input shows its whole first text, every caption is as
// wide as the part of its box that shows, each drop-down holds a row for each entry of its own
// list, and the fonts are the window's, the labels' and the heading's at that scale.
void checkLayout(const Window &window, int dpi, std::vector<RECT> &places) {
    const std::string at = " a " + std::to_string(dpi) + " ppp";
    places.clear();
    for (const ControlRow &row : kForm1Layout) {
        const HWND box = window.control(row.id);
        places.push_back(placeIn(window.form.handle(), box));
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        const bool isCombo = row.kind == ControlKind::ComboBox && GetComboBoxInfo(box, &combo);
        if (row.kind == ControlKind::TextBox || isCombo) {
            check(showsWholeText(isCombo ? combo.hwndItem : box),
                  std::string(row.name) + " muestra todo su texto" + at);
        }
        if (row.kind == ControlKind::Label) {
            const int shown = cronalba::twipsToPixels(cronalba::visibleWidth(row.id), dpi);
            check(places.back().right - places.back().left == shown,
                  std::string(row.name) + " tiene el ancho que se ve" + at);
        }
        if (isCombo) {
            // The field and a row per entry: Windows gives the whole dropped box, wine that
            // height less the field's.
            RECT dropped{};
            SendMessageW(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            const auto rows = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
            const auto rowHeight = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0));
            const int whole = cronalba::twipsToPixels(row.height, dpi) + rows * rowHeight + 2;
            const LONG height = dropped.bottom - dropped.top;
            check(height == whole || height == whole - (places.back().bottom - places.back().top),
                  std::string(row.name) + ": la lista desplegada tiene una fila por entrada" + at);
        }
    }
    const LOGFONTW font = fontOf(window.control(ControlId::Label1_0));
    const LOGFONTW heading = fontOf(window.control(ControlId::Label5));
    // Its size steps down from the family's own until the labels fit, but not below the smallest.
    const auto height = [dpi](double points) { return -std::lround(points * dpi / 72.0); };
    const std::wstring family = firstInstalledWindowFont();
    double points = cronalba::kWindowFonts.back().points;
    for (const cronalba::FontSpec &spec : cronalba::kWindowFonts) {
        points = family == reinterpret_cast<const wchar_t *>(spec.family) ? spec.points : points;
    }
    check(font.lfFaceName == family && font.lfWeight == FW_NORMAL &&
              font.lfHeight >= height(points) && font.lfHeight <= height(cronalba::kSmallestPoints),
          "la letra de la ventana es la primera instalada, a su tamaño" + at + ": " +
              std::to_string(font.lfHeight));
    check(fontOf(window.control(ControlId::txtOffset)).lfHeight == font.lfHeight &&
              fontOf(window.control(ControlId::Command1)).lfHeight == font.lfHeight,
          "los campos y los botones tienen la letra de la ventana" + at);
    check(heading.lfWeight == FW_BOLD &&
              heading.lfHeight == -std::lround(cronalba::kHeadingFont.points * dpi / 72.0),
          "el título va en negrita de 9,75 puntos" + at);
}

void layoutAndScale(Window &window) {
    const int dpi = systemDpi();
    // The client area at the usual scales, to the pixel.
    const SIZE expected = dpi == 96 ? SIZE{414, 432} : dpi == 144 ? SIZE{621, 648} : SIZE{};
    RECT client{};
    GetClientRect(window.form.handle(), &client);
    check(expected.cx == 0 || (client.right == expected.cx && client.bottom == expected.cy),
          "el área de la ventana a " + std::to_string(dpi) + " ppp es " +
              std::to_string(client.right) + " × " + std::to_string(client.bottom));
    std::vector<RECT> before;
    checkLayout(window, dpi, before);

    // Moved to a screen at 1.5 times the scale, the window takes the size it is offered.
    const int newDpi = dpi * 3 / 2;
    RECT frame{};
    GetWindowRect(window.form.handle(), &frame);
    const RECT offered{frame.left, frame.top, frame.right + client.right / 2,
                       frame.bottom + client.bottom / 2};
    SendMessageW(window.form.handle(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                 reinterpret_cast<LPARAM>(&offered));
    std::vector<RECT> after;
    checkLayout(window, newDpi, after);
    const auto scaled = [](LONG at96, LONG now) { return std::abs(now - at96 * 3 / 2.0) <= 1; };
    for (std::size_t i = 0; i < after.size(); ++i) {
        const RECT &a = before[i];
        const RECT &b = after[i];
        const bool combo = kForm1Layout[i].kind == ControlKind::ComboBox;
        check(scaled(a.left, b.left) && scaled(a.top, b.top) &&
                  scaled(a.right - a.left, b.right - b.left) &&
                  (combo || scaled(a.bottom - a.top, b.bottom - b.top)),
              std::string(kForm1Layout[i].name) + " está a 1,5 veces su sitio");
    }
}

void focusAndTab(Window &window) {
    check(window.focused() == "txtOffset",
          "el foco empieza en txtOffset, no en " + window.focused());
    std::string walked;
    for (int i = 0; i < 6; ++i) {
        window.pressTab();
        walked += window.focused() + " ";
    }
    check(walked == "comPuerto comBaudios Command1 cmdSync Command2 txtOffset ",
          "el tabulador recorre " + walked);
}

// A port that fails to open: one box over the window, without icon, that disables the window
// while open, so a click that reaches a button meanwhile does nothing; then the end, status 1.
void portFailure() {
    Window window;
    window.comm.failing = "PortOpen";
    window.type(ControlId::comPuerto, L"7");
    window.type(ControlId::comBaudios, L"9600");
    window.click(ControlId::Command1, ControlId::Command1);
    check(window.comm.calls ==
              std::vector<std::string>{"Settings=9600", "CommPort=7", "PortOpen=true"},
          "el puerto y la velocidad tecleados llegan al control, una vez");
    const auto &boxes = BoxWatcher::seen;
    check(boxes.size() == 1 && BoxWatcher::mostOpen == 1,
          "un solo mensaje por el puerto, no " + std::to_string(BoxWatcher::mostOpen));
    check(!boxes.empty() && boxes[0].text == wide(cronalba::kPortFailure) &&
              boxes[0].title == wide(cronalba::kAppTitle) && !boxes[0].icon,
          "el mensaje del puerto es el del programa, sin icono");
    check(!boxes.empty() && boxes[0].owner == window.form.handle() && !boxes[0].ownerEnabled,
          "el mensaje es de la ventana, que queda inactiva mientras se ve");
    check(window.programEnd.status == 1, "tras el mensaje, el programa termina con estado 1");
    check(IsWindowEnabled(window.form.handle()), "la ventana vuelve a estar activa");
}

// A refused change: the warning the user gets is the core's words for the refusal.
void refusals() {
    using cronalba::ClockOutcome;
    Window window;
    for (const ClockOutcome outcome : {ClockOutcome::NeedsAdministrator,
                                       ClockOutcome::ConsentRefused, ClockOutcome::TimeSkipped}) {
        window.clock.requests.clear();
        window.clock.refusal = cronalba::ClockSetResult{outcome, {}};
        window.comm.receive(u"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,"
                            u"W*6A\r\n");
        window.type(ControlId::txtOffset, L"+0");
        window.click(ControlId::cmdSync);
        const auto &boxes = BoxWatcher::seen;
        const std::wstring expected = wide(cronalba::clockRefusalMessage(*window.clock.refusal));
        check(window.clock.requests.size() == 1 && boxes.size() == 1 && boxes[0].text == expected &&
                  boxes[0].icon && boxes[0].owner == window.form.handle(),
              "aviso del rechazo " + std::to_string(static_cast<int>(outcome)));
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
