#include "form1_window.h"

#include "newer_windows.h"
#include "resource_ids.h"

#include <commctrl.h>
#include <initguid.h> // defines the accessibility GUIDs that oleacc.h declares
#include <oleacc.h>

#include <cmath>
#include <utility>

namespace cronalba::windows {

namespace {

constexpr const wchar_t *kWindowClass = L"CronalbaForm1";
constexpr UINT_PTR kTimer1 = 1;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

std::wstring wide(TextView text) {
    return {text.begin(), text.end()};
}

const wchar_t *familyOf(const FontSpec &font) {
    return reinterpret_cast<const wchar_t *>(font.family);
}

Text textOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

// Where a row's control sits in the window, in pixels: a frame's controls are the window's
// children too (so that their notifications and the tab key reach the window), placed within
// the frame's box.
RECT placeOf(const ControlRow &row, UINT dpi) {
    int left = row.left;
    int top = row.top;
    if (row.container != ControlId::Form1) {
        left += rowOf(row.container).left;
        top += rowOf(row.container).top;
    }
    const int dotsPerInch = static_cast<int>(dpi);
    const int x = twipsToPixels(left, dotsPerInch);
    const int y = twipsToPixels(top, dotsPerInch);
    const int width = std::max(1, twipsToPixels(visibleWidth(row.id), dotsPerInch));
    const int height = std::max(1, twipsToPixels(row.height, dotsPerInch));
    return {x, y, x + width, y + height};
}

struct ControlClass {
    const wchar_t *name;
    DWORD style;
    DWORD extendedStyle;
};

ControlClass classOf(const ControlRow &row) {
    switch (row.kind) {
    case ControlKind::Frame:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Label: {
        const DWORD align = row.look.align == Align::Center ? SS_CENTER : SS_LEFT;
        // A bordered display centres its one line vertically too.
        const DWORD border = row.look.border ? WS_BORDER | SS_CENTERIMAGE : 0;
        return {L"STATIC", align | border | SS_NOPREFIX, 0};
    }
    case ControlKind::Button:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::ComboBox:
        return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::TextBox:
        return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Line:
        return {L"STATIC", SS_BLACKRECT, 0}; // one pixel wide: a line
    }
    return {L"STATIC", 0, 0};
}

int CALLBACK noteFontFound(const LOGFONTW * /*font*/, const TEXTMETRICW * /*metrics*/,
                           DWORD /*type*/, LPARAM found) {
    *reinterpret_cast<bool *>(found) = true;
    return 0; // one is enough
}

bool fontInstalled(const wchar_t *family) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, family, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

bool familyInstalled(const char16_t *family) {
    return fontInstalled(reinterpret_cast<const wchar_t *>(family));
}

OwnedFont makeFont(const FontSpec &spec, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(spec.points * dpi / 72.0));
    font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, familyOf(spec), LF_FACESIZE);
    return OwnedFont(CreateFontIndirectW(&font));
}

// A label's text colour, on the window's background.
HBRUSH colorStatic(HDC dc, HWND control) {
    const int index = GetDlgCtrlID(control) - Form1Window::kFirstControlId;
    if (index >= 0 && index < static_cast<int>(kControlCount)) {
        const Look &look = kForm1Layout[static_cast<std::size_t>(index)].look;
        if (look.textColor) {
            SetTextColor(dc, RGB(look.textColor->red, look.textColor->green, look.textColor->blue));
        }
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

// Whether every label in font shows its whole text, wrapped, within the part of its box that
// shows.
bool labelsFit(const FontSpec &spec, UINT dpi) {
    const OwnedFont font = makeFont(spec, dpi);
    HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font.get());
    bool fit = true;
    for (const ControlRow &row : kForm1Layout) {
        if (row.kind != ControlKind::Label || row.look.heading) {
            continue;
        }
        const RECT box = placeOf(row, dpi);
        const int border = row.look.border ? 2 : 0;
        RECT needed{0, 0, box.right - box.left - border, 0};
        const std::wstring text = wide(row.text);
        DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        fit = fit && needed.right <= box.right - box.left - border &&
              needed.bottom <= box.bottom - box.top - border;
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return fit;
}

} // namespace

Form1Window::Form1Window(HINSTANCE instance, Form1Services services)
    : form(*this, services) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(CRONALBA_ICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    const std::wstring caption = wide(kCaption);
    // Without WS_CLIPCHILDREN: the window paints the background that the frames leave clear.
    window = CreateWindowExW(0, kWindowClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                             CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    createControls(instance);
    createToolTip(instance);
    stackControls();
    nameInputsForScreenReaders();
    layOut(dpiOf(window));
}

Form1Window::~Form1Window() {
    if (window) {
        DestroyWindow(window);
    }
}

void Form1Window::show(int showCommand) {
    form.Form_Load();
    // Centred on the screen that holds most of it.
    RECT frame{};
    GetWindowRect(window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &work = monitor.rcWork;
    SetWindowPos(window, nullptr,
                 work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
                 work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetTimer(window, kTimer1, kTimer1IntervalMs, nullptr);
    lastFocus = control(tabOrder().front());
    SetFocus(lastFocus);
}

bool Form1Window::handleDialogKey(MSG &message) {
    return window && IsDialogMessageW(window, &message);
}

Text Form1Window::text(ControlId box) const {
    return textOf(control(box));
}

void Form1Window::setText(ControlId display, TextView text) {
    SetWindowTextW(control(display), wide(text).c_str());
}

void Form1Window::fillList(ControlId box, const std::vector<Text> &entries) {
    // Adding to the list leaves the text in the box as it is.
    for (const Text &entry : entries) {
        SendMessageW(control(box), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry).c_str()));
    }
}

void Form1Window::unload() {
    SendMessageW(window, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK Form1Window::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        auto *self = static_cast<Form1Window *>(creation->lpCreateParams);
        self->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<Form1Window *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_NCDESTROY) {
        // The window's last message: once it is handled, the window is gone.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window = nullptr;
        self = nullptr;
    }
    return self ? self->onMessage(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1) {
            form.Timer1_Timer();
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            colorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_NOTIFY: {
        auto *request = reinterpret_cast<NMTTDISPINFOW *>(lParam);
        if (request->hdr.code == TTN_GETDISPINFOW) {
            toolTipText = wide(form.comPuertoToolTip());
            request->lpszText = toolTipText.data();
            return 0;
        }
        break;
    }
    case WM_DPICHANGED: {
        layOut(HIWORD(wParam));
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_ACTIVATE:
        // Back in the window, the focus returns to where it was, as in a dialog box.
        if (LOWORD(wParam) == WA_INACTIVE) {
            lastFocus = GetFocus();
        } else if (lastFocus) {
            SetFocus(lastFocus);
            return 0;
        }
        break;
    case WM_CLOSE:
        // The unload is never cancelled.
        KillTimer(window, kTimer1);
        form.Form_Unload();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Form1Window::createControls(HINSTANCE instance) {
    for (const ControlRow &row : kForm1Layout) {
        const ControlClass kind = classOf(row);
        const std::wstring text = row.kind == ControlKind::ComboBox ? L"" : wide(row.text);
        controls[indexOf(row.id)] = CreateWindowExW(
            kind.extendedStyle, kind.name, text.c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, 0, 0, 1, 1, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlIdOf(row.id))), instance, nullptr);
        if (row.kind == ControlKind::ComboBox) {
            SetWindowTextW(controls[indexOf(row.id)], wide(row.text).c_str());
        }
    }
}

// comPuerto's tooltip lists the system's ports, looked up when it is about to show.
void Form1Window::createToolTip(HINSTANCE instance) {
    toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                              nullptr, instance, nullptr);
    SendMessageW(toolTip, TTM_SETMAXTIPWIDTH, 0, 600); // one line per port
    COMBOBOXINFO box{};
    box.cbSize = sizeof box;
    GetComboBoxInfo(control(ControlId::comPuerto), &box);
    for (HWND part : {control(ControlId::comPuerto), box.hwndItem}) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(part);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// A screen reader names an edit field or a combo box by the label before it in the z-order;
// the inputs lie above every label here, so each is named after its caption outright. A
// display is named by the time it shows, as a label is.
void Form1Window::nameInputsForScreenReaders() {
    IAccPropServices *created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void **>(&created)))) {
        return;
    }
    const ComPointer<IAccPropServices> services(created);
    for (const ControlRow &row : kForm1Layout) {
        if (const auto caption = namingCaption(row.id)) {
            const std::wstring name = wide(rowOf(*caption).text);
            // The focus in a combo box is on the edit field inside it, which is named too.
            HWND box = control(row.id);
            COMBOBOXINFO combo{};
            combo.cbSize = sizeof combo;
            const HWND field = GetComboBoxInfo(box, &combo) ? combo.hwndItem : nullptr;
            for (HWND part : {box, field}) {
                if (part) {
                    services->SetHwndPropStr(part, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                             PROPID_ACC_NAME, name.c_str());
                }
            }
        }
    }
}

// The tab key follows the z-order, so the controls that take input lie on top in the order
// of their tab indices; labels lie beneath them, so that a click where a label's box overlaps
// an input reaches the input, and the frames lie beneath everything.
void Form1Window::stackControls() {
    HWND above = HWND_TOP;
    for (const ControlId id : tabOrder()) {
        SetWindowPos(control(id), above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        above = control(id);
    }
    for (const ControlRow &row : kForm1Layout) {
        if (row.kind == ControlKind::Frame) {
            SetWindowPos(control(row.id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    }
}

void Form1Window::layOut(UINT dpi) {
    const FontSpec windowSpec = windowFontFor(
        familyInstalled, [dpi](const FontSpec &font) { return labelsFit(font, dpi); });
    OwnedFont newWindowFont = makeFont(windowSpec, dpi);
    OwnedFont newHeadingFont = makeFont(headingFontFor(familyInstalled, windowSpec), dpi);

    const RECT outer = windowRectFor({0, 0, twipsToPixels(kClientWidthTwips, static_cast<int>(dpi)),
                                      twipsToPixels(kClientHeightTwips, static_cast<int>(dpi))},
                                     kWindowStyle, dpi);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const ControlRow &row : kForm1Layout) {
        HWND handle = control(row.id);
        const HFONT font = (row.look.heading ? newHeadingFont : newWindowFont).get();
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        RECT place = placeOf(row, dpi);
        if (row.kind == ControlKind::ComboBox) {
            // A combo box's height holds its dropped-down list: a row for every entry of its
            // own list, and the list's border.
            const auto rowHeight = static_cast<int>(SendMessageW(handle, CB_GETITEMHEIGHT, 0, 0));
            place.bottom += rowHeight * static_cast<int>(choicesOf(row.id).size()) + 2;
        }
        SetWindowPos(handle, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The controls no longer use the fonts they had, which may go now.
    windowFont = std::move(newWindowFont);
    headingFont = std::move(newHeadingFont);
}

void Form1Window::onCommand(int controlId, int notification) {
    // While a message box is open, it leaves the window disabled: a click that still reaches a
    // button (a screen reader's or an automation tool's "invoke") does nothing.
    if (notification == BN_CLICKED && IsWindowEnabled(window)) {
        form.click(static_cast<ControlId>(controlId - kFirstControlId));
    }
}

} // namespace cronalba::windows
