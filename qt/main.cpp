#include "form1_window.h"
#include "immediate_program_end.h"
#include "qt_message_dialog.h"
#include "quit_on_signal.h"
#include "serial_port_control.h"
#include "system_clock.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("org.cronalba.Cronalba"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/cronalba.png")));

    cronalba::SerialPortControl comNMEA;
    const auto clock = cronalba::makeSystemClock();
    cronalba::QtMessageDialog messages;
    cronalba::ImmediateProgramEnd programEnd;

    cronalba::Form1Window form({comNMEA, *clock, messages, programEnd});
    cronalba::closeOnTerminationSignals(form);
    form.show();
    return QApplication::exec();
}
