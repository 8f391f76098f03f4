#pragma once

#include <array>

namespace cronalba {

enum class ControlKind { Frame, Label, Button, ComboBox, TextBox, Line };

// One control of Form1: where it sits, in twips from its container's top left, what it shows
// at start, and its place in the tab order. Members of a control array carry their index in
// the name ("lblTime_0"). A line runs from (left, top) to (left + width, top + height).
struct ControlRow {
    const char *name;
    ControlKind kind;
    const char *container;
    const char16_t *text;
    int left;
    int top;
    int width;
    int height;
    int tab; // -1 for a control outside the tab order
};

// Buttons, combo boxes and text boxes take the focus and clicks; labels, frames and lines don't.
constexpr bool takesFocus(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::ComboBox ||
           kind == ControlKind::TextBox;
}

inline constexpr int kClientWidthTwips = 6210;
inline constexpr int kClientHeightTwips = 6480;
inline constexpr const char16_t *kCaption = u"Cronalba  (Versión 1.0)";

// The window's controls in the order it holds them: a container comes before its children.
extern const std::array<ControlRow, 25> kForm1Layout;

} // namespace cronalba
