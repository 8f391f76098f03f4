// The Qt window: its controls as the layout places them, and the window as people meet it:
// what a screen reader announces, where the focus starts, where clicks and typing go.
#include "fakes.h"
#include "form1_window.h"
#include "messages.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <map>

using namespace cronalba;
using namespace cronalba::testing;

namespace {

// The Qt window over stand-in services.
struct WindowOverFakes {
    template <typename Control> Control *control(const char *name) const {
        if (auto *found = form.findChild<Control *>(QString::fromLatin1(name))) {
            return found;
        }
        qFatal("no control %s", name);
    }

    FakeComm comm;
    FakeClock clock;
    FakeMessages messages;
    FakeProgramEnd programEnd;
    Form1Window form{{comm, clock, messages, programEnd}};
};

} // namespace

class Form1WindowTest : public QObject {
    Q_OBJECT

private slots:
    // The caption, and each row of the layout as a control of its kind's class, in its container,
    // with its text (in its kind's property: a line shows none) and look; a label's text fits
    // the part of its box that shows, a box's text fits it whole.
    void everyRowBecomesItsControl_data() {
        QTest::addColumn<int>("row");
        for (const ControlRow &row : kForm1Layout) {
            QTest::newRow(row.name) << static_cast<int>(indexOf(row.id));
        }
    }
    void everyRowBecomesItsControl() {
        QFETCH(int, row);
        const ControlRow &expected = kForm1Layout[static_cast<std::size_t>(row)];
        WindowOverFakes window;
        QCOMPARE(window.form.windowTitle(), QString::fromStdU16String(kCaption));
        const auto *widget = window.control<QWidget>(expected.name);
        static const std::map<ControlKind, std::pair<const char *, const char *>> classes = {
            {ControlKind::Frame, {"QGroupBox", "title"}},
            {ControlKind::Label, {"QLabel", "text"}},
            {ControlKind::Button, {"QPushButton", "text"}},
            {ControlKind::ComboBox, {"QComboBox", "currentText"}},
            {ControlKind::TextBox, {"QLineEdit", "text"}},
            {ControlKind::Line, {"QFrame", "text"}}};
        const auto [className, textProperty] = classes.at(expected.kind);
        QVERIFY(widget->inherits(className));
        const char *container =
            expected.container == ControlId::Form1 ? "Form1" : rowOf(expected.container).name;
        QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(container));
        QCOMPARE(widget->property(textProperty).toString(),
                 QString::fromStdU16String(expected.text));
        if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            const Look &look = expected.look;
            QCOMPARE(label->frameShape() == QFrame::Box, look.border);
            QCOMPARE((label->alignment() & Qt::AlignHCenter) != 0, look.align == Align::Center);
            const QColor colour =
                look.textColor
                    ? QColor(look.textColor->red, look.textColor->green, look.textColor->blue)
                    : window.form.palette().color(QPalette::WindowText);
            QCOMPARE(label->palette().color(QPalette::WindowText), colour);
            QCOMPARE(label->font().bold(), look.heading);
            QVERIFY(label->wordWrap());
            // The text fits the part of the box that no input hides.
            QCOMPARE(label->width(),
                     twipsToPixels(visibleWidth(expected.id), window.form.logicalDpiX()));
            const QRect box = label->contentsRect();
            QVERIFY(box.contains(
                QFontMetrics(label->font()).boundingRect(box, Qt::TextWordWrap, label->text())));
        }
        // A box's text needs its width plus the margins Qt's size hint puts around 17 characters.
        const auto *combo = qobject_cast<const QComboBox *>(widget);
        if (const auto *edit =
                combo != nullptr ? combo->lineEdit() : qobject_cast<const QLineEdit *>(widget)) {
            const QFontMetrics metrics(edit->font());
            const int margins = edit->sizeHint().width() - 17 * metrics.horizontalAdvance(u'x');
            QVERIFY(margins + metrics.horizontalAdvance(edit->text()) <= edit->width());
        }
    }

    // The system's ports are listed in the tooltip on hovering, a line each (or none found), and
    // the timer shows the computer's time every second.
    void tooltipAndTimer() {
        WindowOverFakes window;
        window.clock.current.localTime = {9, 5, 3};
        auto *ports = window.control<QComboBox>("comPuerto");
        QCOMPARE(ports->toolTip(), QString());
        const auto hover = [ports] { // the mouse rests on its text
            QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), ports->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(ports->lineEdit(), &event);
            return ports->toolTip().toStdU16String();
        };
        QCOMPARE(hover(), kNoSerialPorts);
        window.comm.systemPorts = {{1, u"/dev/ttyACM0", u"u-blox"}, {2, u"/dev/ttyS0", u""}};
        QCOMPARE(hover(), u"1 = /dev/ttyACM0 (u-blox)\n2 = /dev/ttyS0");
        QCOMPARE(window.control<QTimer>("Timer1")->interval(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(window.control<QLabel>("lblTime_1")->text(), "09:05:03", 3000);
    }

    // What a screen reader announces for each box and display once both times show: a
    // display's name is what it shows, and the caption beside a control names it through the
    // labelled-by relation (a frame around a box may name it too, after). Qt names an editable
    // combo box by its text on Linux, so only its label is checked.
    void screenReaderHears() {
        WindowOverFakes window;
        window.clock.current.localTime = {8, 7, 6};
        window.form.show();
        window.control<QPushButton>("Command1")->click();
        window.comm.receive(u"$GPRMC,123519,A\r\n");
        const auto textOf = [](ControlId id) { return QString::fromStdU16String(rowOf(id).text); };
        const struct {
            const char *control;
            QAccessible::Role role;
            QString name;
            QString label;
        } cases[] = {
            {"comPuerto", QAccessible::ComboBox, {}, textOf(ControlId::Label2)},
            {"comBaudios", QAccessible::ComboBox, {}, textOf(ControlId::Label3)},
            {"txtOffset", QAccessible::EditableText, textOf(ControlId::Label4),
             textOf(ControlId::Label4)},
            {"lblTime_0", QAccessible::StaticText, "12:35:19", textOf(ControlId::Label1_0)},
            {"lblTime_1", QAccessible::StaticText, "08:07:06", textOf(ControlId::Label1_2)},
        };
        for (const auto &c : cases) {
            QAccessibleInterface *accessible =
                QAccessible::queryAccessibleInterface(window.control<QWidget>(c.control));
            QCOMPARE(accessible->role(), c.role);
            QVERIFY(c.name.isNull() || accessible->text(QAccessible::Name) == c.name);
            const auto labels = accessible->relations(QAccessible::Label);
            QVERIFY2(!labels.isEmpty() && labels[0].first->text(QAccessible::Name) == c.label,
                     c.control);
        }
    }

    // The focus starts where the first typing belongs, Tab follows the tab indices, and the
    // speed typed is the speed a connect uses: no completion from the list.
    void typingGoesWhereItBelongsAsTyped() {
        WindowOverFakes window;
        window.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&window.form));
        QVERIFY(QApplication::focusWidget());
        const QStringList inputs = {"txtOffset", "comPuerto", "comBaudios",
                                    "Command1",  "cmdSync",   "Command2"};
        QStringList chain; // the inputs as the focus chain reaches them from the focus
        for (auto *widget = QApplication::focusWidget(); chain.size() < inputs.size();
             widget = widget->nextInFocusChain()) {
            if (inputs.contains(widget->objectName()) && !chain.contains(widget->objectName())) {
                chain.append(widget->objectName());
            }
        }
        QCOMPARE(chain, inputs);
        auto *speed = window.control<QComboBox>("comBaudios");
        for (const QString typed : {"1", "11", "5", "96"}) {
            speed->setFocus();
            speed->lineEdit()->selectAll();
            QTest::keyClicks(speed, typed);
            QCOMPARE(speed->currentText(), typed);
            window.control<QPushButton>("Command1")->click();
            QVERIFY(std::ranges::count(window.comm.calls, "Settings=" + typed.toStdString()) == 1);
        }
    }

    // Every point of a control that takes input or clicks reaches that control, even where a
    // label's box overlaps it.
    void clicksReachTheirControls() {
        WindowOverFakes window;
        window.form.show();
        for (const ControlId id : tabOrder()) {
            auto *widget = window.control<QWidget>(rowOf(id).name);
            const QRect box(widget->mapTo(&window.form, QPoint(0, 0)), widget->size());
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    const QWidget *hit = window.form.childAt(x, y);
                    QVERIFY2(hit == widget || widget->isAncestorOf(hit), rowOf(id).name);
                }
            }
        }
    }
};

QTEST_MAIN(Form1WindowTest)
#include "form1_window_test.moc"
