#include "qt_message_dialog.h"

#include <QApplication>
#include <QMessageBox>

namespace cronalba {

void QtMessageDialog::show(TextView text, TextView title, MessageIcon icon) {
    const auto qtIcon = icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    const auto toQString = [](TextView view) {
        return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
    };
    QMessageBox box(qtIcon, toQString(title), toQString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace cronalba
