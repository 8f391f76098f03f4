#pragma once

#include "comm_control.h"
#include "form1.h"
#include "message_dialog.h"
#include "os_clock.h"
#include "program_end.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStringList>

#include <optional>

namespace cronalba::testing {

// A serial control that records every call, in order, and fails where it is told to.
class FakeCommControl final : public CommControl {
public:
    bool setSettings(const QString &settings) override {
        calls.append(QStringLiteral("Settings=") + settings);
        return !failSettings;
    }
    bool setCommPort(std::int16_t port) override {
        calls.append(QStringLiteral("CommPort=%1").arg(port));
        return !failCommPort;
    }
    bool setPortOpen(bool open) override {
        calls.append(QStringLiteral("PortOpen=%1").arg(open ? "true" : "false"));
        if (open && failOpen) {
            return false;
        }
        isOpen = open;
        return true;
    }
    bool portOpen() const override { return isOpen; }
    QString input() override { return std::exchange(waiting, QString()); }
    QString portNumbering() const override { return QStringLiteral("1 = /dev/fake"); }

    // Makes text wait and raises the notification.
    void receive(const QString &text) {
        waiting += text;
        emit onComm();
    }

    QStringList calls;
    bool failSettings = false;
    bool failCommPort = false;
    bool failOpen = false;
    bool isOpen = false;
    QString waiting;
};

// A clock that moves only when set, and refuses when told to.
class FakeClock final : public OsClock {
public:
    QDateTime now() const override { return current; }
    ClockSetResult setTimeOfDay(QTime newTime, const QDateTime &requestedAt) override {
        requests.append({newTime, requestedAt});
        if (refusal) {
            return {false, *refusal};
        }
        current.setTime(newTime);
        return {true, {}};
    }

    struct Request {
        QTime newTime;
        QDateTime requestedAt;
    };
    QDateTime current{QDate(2024, 3, 1), QTime(12, 0, 0)};
    QList<Request> requests;
    std::optional<QString> refusal;
};

class FakeMessageDialog final : public MessageDialog {
public:
    struct Shown {
        QString text;
        QString title;
        MessageIcon icon;
    };
    void show(const QString &text, const QString &title, MessageIcon icon) override {
        shown.append({text, title, icon});
    }
    QList<Shown> shown;
};

class FakeProgramEnd final : public ProgramEnd {
public:
    void endNow(int exitStatus) override { status = exitStatus; }
    std::optional<int> status;
};

// A window over fakes, as the tests use it.
struct FakeServices {
    FakeCommControl comm;
    FakeClock clock;
    FakeMessageDialog messages;
    FakeProgramEnd programEnd;

    Form1Services services() { return {comm, clock, messages, programEnd}; }
};

// The tooltip a box shows when the mouse rests on its text field.
inline QString hoverToolTip(QComboBox *box) {
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box->lineEdit(), &hover);
    return box->toolTip();
}

} // namespace cronalba::testing
