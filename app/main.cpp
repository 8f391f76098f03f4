#include "form1.h"
#include "immediate_program_end.h"
#include "qt_message_dialog.h"
#include "serial_port_control.h"
#include "system_clock.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    // The installed icon theme first, then the copy built into the program.
    QApplication::setDesktopFileName(QStringLiteral("org.cronalba.Cronalba"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.cronalba.Cronalba"),
                                                 QIcon(QStringLiteral(":/icons/cronalba.png"))));

    cronalba::SerialPortControl comNMEA;
    const auto clock = cronalba::makeSystemClock();
    cronalba::QtMessageDialog messages;
    cronalba::ImmediateProgramEnd programEnd;

    cronalba::Form1 form({comNMEA, *clock, messages, programEnd});
    form.show();
    return QApplication::exec();
}
