#pragma once

// The Qt window over stand-in services, as the window tests use it.
#include "fakes.h"
#include "form1_window.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>

namespace cronalba::testing {

struct WindowOverFakes {
    template <typename Control> Control *control(const char *name) const {
        auto *found = form.findChild<Control *>(QString::fromLatin1(name));
        if (!found) {
            qFatal("no control %s", name);
        }
        return found;
    }

    FakeComm comm;
    FakeClock clock;
    FakeMessages messages;
    FakeProgramEnd programEnd;
    Form1Window form{{comm, clock, messages, programEnd}};
};

// The tooltip a box shows when the mouse rests on its text field.
inline QString hoverToolTip(QComboBox *box) {
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box->lineEdit(), &hover);
    return box->toolTip();
}

} // namespace cronalba::testing
