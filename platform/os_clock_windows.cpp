#include "os_clock_windows.h"

#include "windows/set_local_time.h"

namespace cronalba {

namespace {

windows::LocalDateTime calendarFields(const QDateTime &local) {
    const QDate date = local.date();
    const QTime time = local.time();
    return {date.year(),   date.month(),  date.day(), time.hour(),
            time.minute(), time.second(), time.msec()};
}

} // namespace

ClockSetResult WindowsClock::setTimeOfDay(QTime newTime, const QDateTime &requestedAt) {
    const QString notChanged = QStringLiteral("No se ha cambiado la hora del ordenador.");
    const auto shift = clockShift(newTime, requestedAt);
    if (!shift) {
        return {false, QStringLiteral("La hora pedida no existe hoy en la zona horaria del "
                                      "ordenador. ") +
                           notChanged};
    }
    // What the clock would read now, had it been set at the click.
    const QDateTime target =
        now().addMSecs(std::chrono::duration_cast<std::chrono::milliseconds>(*shift).count());
    const auto result = windows::setLocalTimeWithPrivilege(calendarFields(target));
    switch (result.outcome) {
    case windows::SetLocalTimeOutcome::Done:
        return {true, {}};
    case windows::SetLocalTimeOutcome::NoPrivilege:
        return {false, QStringLiteral("Windows no permite a este usuario cambiar la hora del "
                                      "ordenador. ") +
                           notChanged +
                           QStringLiteral("\n\nCierre Cronalba y vuelva a abrirlo con \"Ejecutar "
                                          "como administrador\".")};
    case windows::SetLocalTimeOutcome::Failed:
        break;
    }
    return {false, QStringLiteral("Windows no ha podido cambiar la hora del ordenador (código "
                                  "de error %1). ")
                           .arg(result.errorCode) +
                       notChanged};
}

} // namespace cronalba
