#include "qt_message_dialog.h"

#include <QApplication>
#include <QMessageBox>

namespace cronalba {

void QtMessageDialog::show(const QString &text, const QString &title, MessageIcon icon) {
    const auto qtIcon = icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace cronalba
