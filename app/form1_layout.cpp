#include "form1_layout.h"

namespace cronalba {

using enum ControlKind;

// clang-format off
const std::array<ControlRow, 25> kForm1Layout{{
    {"Frame2", Frame, "Form1", u"", 120, 5760, 3615, 615, 22},
    {"Label13", Label, "Frame2", u"Cronalba: la hora del GPS en su ordenador", 240, 240, 3255, 255, 23},
    {"Command2", Button, "Form1", u"SALIR DEL PROGRAMA", 3960, 5880, 1935, 375, 20},
    {"cmdSync", Button, "Form1", u"Sincronizar Hora", 4200, 1440, 1395, 435, 12},
    {"Command1", Button, "Form1", u"Empezar conexión", 4080, 480, 1635, 435, 11},
    {"Frame1", Frame, "Form1", u"Configuración de las comunciaciones", 120, 120, 5895, 975, 5},
    {"comBaudios", ComboBox, "Frame1", u"4800", 2640, 390, 975, 315, 10},
    {"comPuerto", ComboBox, "Frame1", u"1", 840, 390, 615, 315, 7},
    {"Line1", Line, "Frame1", u"", 1680, 240, 0, 600, -1},
    {"Label3", Label, "Frame1", u"Velocidad Baudios", 1800, 360, 855, 375, 8},
    {"Label2", Label, "Frame1", u"Puerto COM:", 120, 360, 855, 375, 6},
    {"txtOffset", TextBox, "Form1", u"+2", 3120, 1560, 500, 285, 4},
    {"Label12", Label, "Form1",
     u"NO OLVIDAR que para que la hora sea correcta, el GPS tiene que estar adquiriendo de "
     u"forma activa una posición comunicándose con los satélites. Si sincronizas en el "
     u"interior de una casa, asegurate que has adquirido recientemente una posición.",
     120, 5160, 6015, 735, 21},
    {"Label11", Label, "Form1",
     u"1. El GPS debe emitir sentencias NMEA (modo None/NMEA o NMEA/NMEA)",
     120, 2400, 6135, 255, 19},
    {"Label10", Label, "Form1",
     u"Nota: El programa dará errores de ejecución si se usa un valor de Puerto COM que "
     u"esté siendo usado por el ratón, el modem, u otro tipo de \"device\".",
     120, 4680, 6015, 495, 18},
    {"Label9", Label, "Form1",
     u"5. Una vez que aparezca la \"Hora del GPS\", se puede pulsar \"Sincronizar Hora\"",
     120, 4440, 6015, 255, 17},
    {"Label8", Label, "Form1",
     u"4. Introducir el valor adecuado de la diferencia horaria (1 ó 2 horas en España). "
     u"Se puede escoger un valor negativo para otros paises.",
     120, 3960, 5775, 375, 16},
    {"Label7", Label, "Form1",
     u"3. Pulsar \"Empezar conexión\". La Hora del GPS aparecerá sólo si se han escogido los "
     u"parámetros de conexión adecuados. Si no aparece la hora, se puede volver a escoger una "
     u"velocidad distinta, debiendose pulsar \"Empezar conexión\" con cada nuevo intento",
     120, 3120, 6015, 855, 15},
    {"Label6", Label, "Form1",
     u"2. Escoger el Puerto COM y la velocidad de Baudios adecuada (4800 en un Garmin, hasta "
     u"115200 en un Lowrance, 4800 en los Magellans)",
     120, 2640, 5655, 495, 14},
    {"Label5", Label, "Form1", u"Intrucciones:", 2400, 2100, 1335, 255, 13},
    {"Label4", Label, "Form1", u"Diferencia horaria", 2700, 1320, 1335, 375, 9},
    {"Label1_0", Label, "Form1", u"Hora del GPS", 285, 1350, 975, 285, 3},
    {"Label1_2", Label, "Form1", u"Hora Ordenador", 120, 1725, 1140, 195, 2},
    {"lblTime_0", Label, "Form1", u" ", 1320, 1320, 1200, 255, 1},
    {"lblTime_1", Label, "Form1", u"", 1320, 1695, 1200, 255, 0},
}};
// clang-format on

} // namespace cronalba
