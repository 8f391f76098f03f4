#pragma once

#include "form1_layout.h"
#include "text.h"

#include <vector>

namespace cronalba {

// Form1's window as its behaviour sees it: each front end's window implements this over its
// own controls, made from kForm1Layout.
class Form1View {
public:
    // The text in a box: comPuerto, comBaudios or txtOffset.
    virtual Text text(ControlId box) const = 0;
    // Shows text in a display: lblTime_0 or lblTime_1.
    virtual void setText(ControlId display, TextView text) = 0;
    // Adds entries to a combo box's list, leaving the text in its box as it is.
    virtual void fillList(ControlId box, const std::vector<Text> &entries) = 0;
    // Closes the window through its unload, which ends the program.
    virtual void unload() = 0;

    virtual ~Form1View() = default;
};

} // namespace cronalba
