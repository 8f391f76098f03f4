#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace cronalba {

enum class ControlKind { Frame, Label, Button, ComboBox, TextBox, Line };

// Form1's controls, in the order the window holds them; each one's row in kForm1Layout is at
// its own index. Members of a control array carry their index in the name.
enum class ControlId {
    Frame2,
    Label13,
    Command2,
    cmdSync,
    Command1,
    Frame1,
    comBaudios,
    comPuerto,
    Line1,
    Label3,
    Label2,
    txtOffset,
    Label12,
    Label11,
    Label10,
    Label9,
    Label8,
    Label7,
    Label6,
    Label5,
    Label4,
    Label1_0,
    Label1_2,
    lblTime_0,
    lblTime_1,
    Form1, // the window itself: the container of the controls outside a frame
};

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(ControlId::Form1);

constexpr std::size_t indexOf(ControlId id) {
    return static_cast<std::size_t>(id);
}

enum class Align { Left, Center };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// How a control looks beyond its place, and which control it names for screen readers.
struct Look {
    Align align = Align::Left;
    bool border = false;            // a single-line border
    std::optional<Rgb> textColor;   // else the window's
    bool heading = false;           // in kHeadingFont
    std::optional<ControlId> names; // a caption: the control beside it that it names
};

// One control of Form1: where it sits, in twips from its container's top left, what it shows
// at start, its place in the tab order and its look. A line runs from (left, top) to
// (left + width, top + height).
struct ControlRow {
    ControlId id{};
    const char *name = nullptr;
    ControlKind kind{};
    ControlId container{};
    const char16_t *text = nullptr;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tab = -1; // -1 for a control outside the tab order
    Look look{};
};

struct FontSpec {
    const char16_t *family = nullptr;
    double points = 0;
    bool bold = false;
};

inline constexpr int kClientWidthTwips = 6210;
inline constexpr int kClientHeightTwips = 6480;
inline constexpr const char16_t *kCaption = u"Cronalba  (Versión 1.0)";
inline constexpr FontSpec kHeadingFont{u"MS Sans Serif", 9.75, true};
// The window's own font, which every control but the heading takes. The layout's boxes were
// measured for the classic dialog font, a small sans-serif with a line every 11 or 12 pixels;
// where it is missing (Linux, wine) the condensed one gives the long instructions room. Arial is
// the last resort.
inline constexpr FontSpec kClassicFont{u"Microsoft Sans Serif", 8.0, false};
inline constexpr FontSpec kCondensedFont{u"DejaVu Sans Condensed", 7.5, false};
inline constexpr FontSpec kLastResortFont{u"Arial", 8.0, false};
// The window's font is the first of these that the system has, the last one whether or not.
inline constexpr std::array kWindowFonts{kClassicFont, kCondensedFont, kLastResortFont};
// Where a label's text doesn't fit the part of its box that shows, the window's font steps down
// by kFontStepPoints at a time, but not below kSmallestPoints.
inline constexpr double kFontStepPoints = 0.25;
inline constexpr double kSmallestPoints = 6.0;
inline constexpr int kTimer1IntervalMs = 1000;
// comPuerto's list; any other port number can be typed.
inline constexpr std::array kPorts{1, 2};
// comBaudios's list, in this order; other speeds (38400, say) can be typed.
inline constexpr std::array kSpeeds{1200, 2400, 4800, 9600, 19200, 57600, 115200};

extern const std::array<ControlRow, kControlCount> kForm1Layout;

inline const ControlRow &rowOf(ControlId id) {
    return kForm1Layout[indexOf(id)];
}

// Buttons, combo boxes and text boxes take the focus and clicks; labels, frames and lines
// don't, and lie beneath those that do.
constexpr bool takesInput(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::ComboBox ||
           kind == ControlKind::TextBox;
}

// The caption whose text names a control for screen readers: a box shows no caption of its own,
// so the caption beside it names it. Nothing for any other control: a display is named by the
// time it shows, a label or a button by its own text.
std::optional<ControlId> namingCaption(ControlId control);

// The controls that take the focus, in the order of their tab indices; the first one has the
// focus when the window shows, where the first typing belongs.
std::vector<ControlId> tabOrder();

// The list a combo box offers: kPorts for comPuerto, kSpeeds for comBaudios; empty for any other
// control.
std::span<const int> choicesOf(ControlId box);

// How wide a control's box shows, in twips. An input lying over a label's right end hides it,
// so a label shows up to the first input of its container that overlaps its box and runs past
// its right edge; an input within its width (txtOffset under Label4) leaves it whole. Any other
// control shows its whole width.
int visibleWidth(ControlId control);

// Whether a family is installed, and whether every label's text fits the part of its box that
// shows in a font.
using FamilyInstalled = std::function<bool(const char16_t *family)>;
using LabelsFit = std::function<bool(const FontSpec &font)>;

// The window's font: the first of kWindowFonts that is installed, at its size, or smaller by
// kFontStepPoints at a time until the labels fit or kSmallestPoints is reached.
FontSpec windowFontFor(const FamilyInstalled &installed, const LabelsFit &labelsFit);

// The heading's font: kHeadingFont in the classic font's family (its scalable form) where that
// is installed, else in its own, else in the window's family.
FontSpec headingFontFor(const FamilyInstalled &installed, const FontSpec &windowFont);

// Twips as pixels at dpi dots per inch, to the nearest pixel.
int twipsToPixels(int twips, int dpi);

} // namespace cronalba
