#include "form1_layout.h"

#include <algorithm>
#include <cmath>

namespace cronalba {

namespace {

using enum ControlId;
using enum ControlKind;
using enum Align;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kDarkRed{128, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr double kTwipsPerInch = 1440.0;

// A label that names the control beside it.
constexpr Look caption(ControlId named, Align align = Left) {
    Look look;
    look.align = align;
    look.names = named;
    return look;
}

// A label in a colour of its own.
constexpr Look colored(Rgb color) {
    Look look;
    look.textColor = color;
    return look;
}

// A heading: in the heading's font, in a colour of its own.
constexpr Look heading(Rgb color) {
    Look look = colored(color);
    look.heading = true;
    return look;
}

// A time display: centred in a single-line border.
constexpr Look display() {
    Look look;
    look.align = Center;
    look.border = true;
    return look;
}

} // namespace

// The id and the name of a control, written once.
#define CONTROL(id) id, #id

// clang-format off
constexpr std::array<ControlRow, kControlCount> kForm1Layout{{
    {CONTROL(Frame2), Frame, Form1, u"", 120, 5760, 3615, 615, 22},
    {CONTROL(Label13), Label, Frame2, u"Cronalba: la hora del GPS en su ordenador", 240, 240, 3255, 255, 23},
    {CONTROL(Command2), Button, Form1, u"SALIR DEL PROGRAMA", 3960, 5880, 1935, 375, 20},
    {CONTROL(cmdSync), Button, Form1, u"Sincronizar Hora", 4200, 1440, 1395, 435, 12},
    {CONTROL(Command1), Button, Form1, u"Empezar conexión", 4080, 480, 1635, 435, 11},
    {CONTROL(Frame1), Frame, Form1, u"Configuración de las comunciaciones", 120, 120, 5895, 975, 5},
    {CONTROL(comBaudios), ComboBox, Frame1, u"4800", 2640, 390, 975, 315, 10},
    {CONTROL(comPuerto), ComboBox, Frame1, u"1", 840, 390, 615, 315, 7},
    {CONTROL(Line1), Line, Frame1, u"", 1680, 240, 0, 600, -1},
    {CONTROL(Label3), Label, Frame1, u"Velocidad Baudios", 1800, 360, 855, 375, 8,
     caption(comBaudios, Center)},
    {CONTROL(Label2), Label, Frame1, u"Puerto COM:", 120, 360, 855, 375, 6,
     caption(comPuerto, Center)},
    {CONTROL(txtOffset), TextBox, Form1, u"+2", 3120, 1560, 500, 285, 4},
    {CONTROL(Label12), Label, Form1,
     u"NO OLVIDAR que para que la hora sea correcta, el GPS tiene que estar adquiriendo de "
     u"forma activa una posición comunicándose con los satélites. Si sincronizas en el "
     u"interior de una casa, asegurate que has adquirido recientemente una posición.",
     120, 5160, 6015, 735, 21, colored(kDarkRed)},
    {CONTROL(Label11), Label, Form1,
     u"1. El GPS debe emitir sentencias NMEA (modo None/NMEA o NMEA/NMEA)",
     120, 2400, 6135, 255, 19},
    {CONTROL(Label10), Label, Form1,
     u"Nota: El programa dará errores de ejecución si se usa un valor de Puerto COM que "
     u"esté siendo usado por el ratón, el modem, u otro tipo de \"device\".",
     120, 4680, 6015, 495, 18, colored(kBlue)},
    {CONTROL(Label9), Label, Form1,
     u"5. Una vez que aparezca la \"Hora del GPS\", se puede pulsar \"Sincronizar Hora\"",
     120, 4440, 6015, 255, 17},
    {CONTROL(Label8), Label, Form1,
     u"4. Introducir el valor adecuado de la diferencia horaria (1 ó 2 horas en España). "
     u"Se puede escoger un valor negativo para otros paises.",
     120, 3960, 5775, 375, 16},
    {CONTROL(Label7), Label, Form1,
     u"3. Pulsar \"Empezar conexión\". La Hora del GPS aparecerá sólo si se han escogido los "
     u"parámetros de conexión adecuados. Si no aparece la hora, se puede volver a escoger una "
     u"velocidad distinta, debiendose pulsar \"Empezar conexión\" con cada nuevo intento",
     120, 3120, 6015, 855, 15},
    {CONTROL(Label6), Label, Form1,
     u"2. Escoger el Puerto COM y la velocidad de Baudios adecuada (4800 en un Garmin, hasta "
     u"115200 en un Lowrance, 4800 en los Magellans)",
     120, 2640, 5655, 495, 14},
    {CONTROL(Label5), Label, Form1, u"Intrucciones:", 2400, 2100, 1335, 255, 13,
     heading(kRed)},
    {CONTROL(Label4), Label, Form1, u"Diferencia horaria", 2700, 1320, 1335, 375, 9,
     caption(txtOffset, Center)},
    {CONTROL(Label1_0), Label, Form1, u"Hora del GPS", 285, 1350, 975, 285, 3,
     caption(lblTime_0)},
    {CONTROL(Label1_2), Label, Form1, u"Hora Ordenador", 120, 1725, 1140, 195, 2,
     caption(lblTime_1)},
    {CONTROL(lblTime_0), Label, Form1, u" ", 1320, 1320, 1200, 255, 1,
     display()},
    {CONTROL(lblTime_1), Label, Form1, u"", 1320, 1695, 1200, 255, 0,
     display()},
}};
// clang-format on

#undef CONTROL

static_assert(
    [] {
        for (std::size_t i = 0; i < kForm1Layout.size(); ++i) {
            if (indexOf(kForm1Layout[i].id) != i) {
                return false;
            }
        }
        return true;
    }(),
    "every control's row sits at its id's index");

std::optional<ControlId> namingCaption(ControlId control) {
    if (!takesInput(rowOf(control).kind)) {
        return std::nullopt;
    }
    const auto *caption =
        std::find_if(kForm1Layout.begin(), kForm1Layout.end(),
                     [control](const ControlRow &row) { return row.look.names == control; });
    return caption == kForm1Layout.end() ? std::nullopt : std::optional(caption->id);
}

std::vector<ControlId> tabOrder() {
    std::vector<ControlId> focusable;
    for (const ControlRow &row : kForm1Layout) {
        if (takesInput(row.kind)) {
            focusable.push_back(row.id);
        }
    }
    std::stable_sort(focusable.begin(), focusable.end(),
                     [](ControlId a, ControlId b) { return rowOf(a).tab < rowOf(b).tab; });
    return focusable;
}

std::span<const int> choicesOf(ControlId box) {
    switch (box) {
    case comPuerto:
        return kPorts;
    case comBaudios:
        return kSpeeds;
    default:
        return {};
    }
}

int visibleWidth(ControlId control) {
    const ControlRow &label = rowOf(control);
    int width = label.width;
    if (label.kind != Label) {
        return width;
    }
    const int right = label.left + label.width;
    for (const ControlRow &row : kForm1Layout) {
        const bool hidesRightEnd =
            takesInput(row.kind) && row.container == label.container && row.left > label.left &&
            row.left < right && row.left + row.width >= right &&
            row.top < label.top + label.height && label.top < row.top + row.height;
        if (hidesRightEnd) {
            width = std::min(width, row.left - label.left);
        }
    }
    return width;
}

FontSpec windowFontFor(const FamilyInstalled &installed, const LabelsFit &labelsFit) {
    const auto *chosen = std::find_if(kWindowFonts.begin(), kWindowFonts.end() - 1,
                                      [&](const FontSpec &font) { return installed(font.family); });
    FontSpec font = *chosen;
    while (font.points > kSmallestPoints && !labelsFit(font)) {
        font.points = std::max(kSmallestPoints, font.points - kFontStepPoints);
    }
    return font;
}

FontSpec headingFontFor(const FamilyInstalled &installed, const FontSpec &windowFont) {
    FontSpec font = kHeadingFont;
    if (installed(kClassicFont.family)) {
        font.family = kClassicFont.family;
    } else if (!installed(kHeadingFont.family)) {
        font.family = windowFont.family;
    }
    return font;
}

int twipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

} // namespace cronalba
