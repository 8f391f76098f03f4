#include "qt_message_dialog.h"

#include "messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace cronalba {

namespace {

QString toQString(TextView view) {
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

} // namespace

void QtMessageDialog::show(TextView text, TextView title, MessageIcon icon) {
    const auto qtIcon = icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(qtIcon, toQString(title), toQString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtMessageDialog::ask(TextView text, TextView title) {
    QMessageBox box(QMessageBox::Question, toQString(title), toQString(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    // Qt words its buttons in English unless a translation is loaded; "&" marks the access key.
    box.button(QMessageBox::Yes)->setText(u'&' + toQString(kAnswerYes));
    box.button(QMessageBox::No)->setText(u'&' + toQString(kAnswerNo));
    return box.exec() == QMessageBox::Yes;
}

} // namespace cronalba
