#pragma once

#include "computer_clock.h"
#include "serial_ports.h"
#include "sync_decision.h"
#include "text.h"

#include <vector>

namespace cronalba {

// Everything the program tells the user in a message or a tooltip, in Spanish.

inline constexpr TextView kAppTitle = u"Cronalba";
inline constexpr TextView kPortFailure = u"No puedo abrir el puerto de comunicaciones";
// comPuerto's tooltip when the system has no serial port.
inline constexpr TextView kNoSerialPorts = u"No se ha encontrado ningún puerto serie.";
// A question's buttons, where the toolkit doesn't word them in the system's language.
inline constexpr TextView kAnswerYes = u"Sí";
inline constexpr TextView kAnswerNo = u"No";

// Why "Sincronizar Hora" left the clock alone, and what to do about it.
Text notSetMessage(SyncVerdict verdict);

// Why the system refused to set the clock, and what to do about it.
Text clockRefusalMessage(const ClockSetResult &result);

// Whether to switch off the automatic synchronisation that refused the change, and set the
// clock after all.
Text switchOffAutomaticTimeQuestion();

// comPuerto's tooltip: one line per port, "1 = /dev/ttyACM0 (u-blox GNSS receiver)", or that
// there is none.
Text portListToolTip(const std::vector<NumberedPort> &ports);

} // namespace cronalba
