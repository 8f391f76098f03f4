#include "messages.h"

namespace cronalba {

namespace {

constexpr TextView kNotChanged = u"No se ha cambiado la hora del ordenador.";
constexpr TextView kAutomaticTimeOn = u"La sincronización automática de la hora está activada y "
                                      u"el sistema no deja cambiar la hora a mano.";

Text joined(std::initializer_list<TextView> parts) {
    Text text;
    for (const TextView part : parts) {
        text += part;
    }
    return text;
}

} // namespace

Text notSetMessage(SyncVerdict verdict) {
    switch (verdict) {
    case SyncVerdict::NoGpsTime:
        return u"Todavía no se muestra ninguna hora del GPS, así que no se ha cambiado la hora "
               u"del ordenador.\n\nPulse \"Empezar conexión\" y espere a que aparezca la "
               u"\"Hora del GPS\" antes de pulsar \"Sincronizar Hora\".";
    case SyncVerdict::OutsideDay:
        return u"La hora del GPS más la diferencia horaria queda fuera del día (de 00:00:00 a "
               u"23:59:59), así que no se ha cambiado la hora del ordenador.\n\nEspere a que "
               u"pase la medianoche UTC o cambie la diferencia horaria.";
    case SyncVerdict::Set:
        break;
    }
    return {};
}

Text clockRefusalMessage(const ClockSetResult &result) {
    switch (result.outcome) {
    case ClockOutcome::Done:
        break;
    case ClockOutcome::TimeSkipped:
        return joined({u"La hora pedida no existe hoy en la zona horaria del ordenador (quizá "
                       u"por el cambio de horario de verano). ",
                       kNotChanged});
    case ClockOutcome::NotPermitted:
        return joined({u"El sistema no permite a este usuario cambiar la hora del ordenador "
                       u"(hace falta ser administrador o tener el permiso CAP_SYS_TIME). ",
                       kNotChanged,
                       u"\n\nEjecute Cronalba como administrador (root) y vuelva a intentarlo."});
    case ClockOutcome::NeedsAdministrator:
        return joined({u"Windows no permite cambiar la hora del ordenador ni con el permiso de un "
                       u"administrador. ",
                       kNotChanged,
                       u"\n\nPida a quien administra el ordenador el derecho \"Cambiar la hora "
                       u"del sistema\" y vuelva a intentarlo."});
    case ClockOutcome::ConsentRefused:
        return joined({u"No se ha autorizado el cambio de hora: no se ha dado el permiso de "
                       u"administrador que pide Windows. ",
                       kNotChanged,
                       u"\n\nVuelva a pulsar \"Sincronizar Hora\" y acepte la petición de "
                       u"Windows."});
    case ClockOutcome::AutomaticSyncOn:
        return joined({kAutomaticTimeOn, u" ", kNotChanged,
                       u"\n\nDesactive la sincronización automática de la hora (timedatectl "
                       u"set-ntp false) y vuelva a intentarlo."});
    case ClockOutcome::NotAuthorized:
        return joined({u"No se ha autorizado el cambio de hora: falta permiso o se canceló la "
                       u"petición de contraseña. ",
                       kNotChanged,
                       u"\n\nVuelva a pulsar \"Sincronizar Hora\" e introduzca la contraseña de "
                       u"un administrador cuando se la pida el sistema."});
    case ClockOutcome::NoReply:
        return joined({u"El servicio de hora del sistema no ha respondido a tiempo. ", kNotChanged,
                       u"\n\nVuelva a intentarlo."});
    case ClockOutcome::Failed:
        return joined({u"El sistema no ha podido cambiar la hora del ordenador (", result.detail,
                       u"). ", kNotChanged});
    }
    return {};
}

Text switchOffAutomaticTimeQuestion() {
    return joined({kAutomaticTimeOn, u"\n\n¿Desactivar la sincronización automática y poner en el "
                                     u"ordenador la hora del GPS?"});
}

Text portListToolTip(const std::vector<NumberedPort> &ports) {
    if (ports.empty()) {
        return Text(kNoSerialPorts);
    }
    Text lines;
    for (const NumberedPort &port : ports) {
        if (!lines.empty()) {
            lines += u'\n';
        }
        lines += formatDigits(port.number, u"") + u" = " + port.device;
        if (!port.description.empty()) {
            lines += u" (" + port.description + u")";
        }
    }
    return lines;
}

} // namespace cronalba
