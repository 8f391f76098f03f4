#pragma once

// Form1 as a window of the Windows API: its controls made from kForm1Layout, their messages
// handed to Form1's handlers, and what the handlers decide shown in the controls.

#include "form1.h"
#include "form1_view.h"
#include "owned.h"

#include <windows.h>

#include <array>
#include <string>

namespace cronalba::windows {

class Form1Window final : public Form1View {
public:
    // Control n of kForm1Layout has the control ID kFirstControlId + n.
    static constexpr int kFirstControlId = 100;
    static constexpr int controlIdOf(ControlId id) {
        return kFirstControlId + static_cast<int>(indexOf(id));
    }

    Form1Window(HINSTANCE instance, Form1Services services);
    ~Form1Window() override;
    Form1Window(const Form1Window &) = delete;
    Form1Window &operator=(const Form1Window &) = delete;

    // Loads the form, shows the window centred on the screen, starts Timer1 and puts the focus
    // where the first typing belongs.
    void show(int showCommand);
    // Tab, Shift+Tab, Enter and the arrows between the controls, as in a dialog box.
    bool handleDialogKey(MSG &message);
    // The window, which owns the program's message boxes.
    HWND handle() const { return window; }

    // Form1View
    Text text(ControlId box) const override;
    void setText(ControlId display, TextView text) override;
    void fillList(ControlId box, const std::vector<Text> &entries) override;
    void unload() override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    void createToolTip(HINSTANCE instance);
    void nameInputsForScreenReaders();
    void stackControls();
    // Fonts and places for dpi dots per inch; again whenever the window moves to a screen of
    // another scale.
    void layOut(UINT dpi);
    void onCommand(int controlId, int notification);

    HWND control(ControlId id) const { return controls[indexOf(id)]; }

    HWND window = nullptr;
    HWND toolTip = nullptr;
    HWND lastFocus = nullptr; // the control with the focus when the window was left
    std::array<HWND, kControlCount> controls{};
    OwnedFont windowFont;
    OwnedFont headingFont;
    std::wstring toolTipText; // what the tooltip shows, kept while it shows it
    Form1 form;
};

} // namespace cronalba::windows
