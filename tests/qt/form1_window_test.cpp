// The Qt window: its controls as the layout places them, and the window as people meet it:
// what a screen reader announces, where the focus starts, where clicks and typing go.
#include "window_over_fakes.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <map>

using namespace cronalba;
using namespace cronalba::testing;

namespace {

// What a control shows: a label's or button's text, a box's text, a frame's title.
QString textOf(const QWidget *widget) {
    for (const char *property : {"text", "currentText", "title"}) {
        if (const QVariant text = widget->property(property); text.isValid()) {
            return text.toString();
        }
    }
    return {};
}

QStringList listOf(const QComboBox *box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) {
        entries.append(box->itemText(i));
    }
    return entries;
}

} // namespace

class Form1WindowTest : public QObject {
    Q_OBJECT

private slots:
    void captionAndClientArea() {
        WindowOverFakes window;
        QCOMPARE(window.form.logicalDpiX(), 96);
        QCOMPARE(window.form.windowTitle(), QString::fromUtf8("Cronalba  (Versión 1.0)"));
        QCOMPARE(window.form.size(), QSize(6210 / 15, 6480 / 15));
    }

    // Each row of the layout becomes a control of its kind, in its container, at its place
    // (15 twips to the pixel at 96 dpi), with its text.
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
        const auto *widget = window.control<QWidget>(expected.name);
        static const std::map<ControlKind, const char *> classes = {
            {ControlKind::Frame, "QGroupBox"},    {ControlKind::Label, "QLabel"},
            {ControlKind::Button, "QPushButton"}, {ControlKind::ComboBox, "QComboBox"},
            {ControlKind::TextBox, "QLineEdit"},  {ControlKind::Line, "QFrame"}};
        QVERIFY(widget->inherits(classes.at(expected.kind)));
        const char *container =
            expected.container == ControlId::Form1 ? "Form1" : rowOf(expected.container).name;
        QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(container));
        QCOMPARE(textOf(widget), QString::fromStdU16String(expected.text));
        const auto pixels = [](int twips) { return std::max(1, qRound(twips / 15.0)); };
        QCOMPARE(widget->geometry(), QRect(pixels(expected.left), pixels(expected.top),
                                           pixels(expected.width), pixels(expected.height)));
    }

    void tabOrderFollowsTheTabIndices() {
        WindowOverFakes window;
        const QStringList expected = {"txtOffset", "comPuerto", "comBaudios",
                                      "Command1",  "cmdSync",   "Command2"};
        QStringList chain;
        QWidget *widget = window.control<QWidget>("txtOffset");
        while (chain.size() < expected.size()) {
            if (expected.contains(widget->objectName()) && !chain.contains(widget->objectName())) {
                chain.append(widget->objectName());
            }
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(chain, expected);
    }

    void appearance() {
        WindowOverFakes window;
        for (const char *name : {"lblTime_0", "lblTime_1"}) {
            const auto *display = window.control<QLabel>(name);
            QCOMPARE(display->frameShape(), QFrame::Box);
            QCOMPARE(display->lineWidth(), 1);
            QVERIFY(display->alignment() & Qt::AlignHCenter);
        }
        for (const char *name : {"Label2", "Label3", "Label4"}) {
            QVERIFY(window.control<QLabel>(name)->alignment() & Qt::AlignHCenter);
        }
        QVERIFY(window.control<QLabel>("Label6")->alignment() & Qt::AlignLeft);
        const auto colour = [&](const char *name) {
            return window.control<QLabel>(name)->palette().color(QPalette::WindowText);
        };
        QCOMPARE(colour("Label10"), QColor(0, 0, 255));
        QCOMPARE(colour("Label12"), QColor(128, 0, 0));
        QCOMPARE(colour("Label5"), QColor(255, 0, 0));
        const QFont heading = window.control<QLabel>("Label5")->font();
        QCOMPARE(heading.family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(heading.weight(), QFont::Bold);
        QCOMPARE(heading.pointSizeF(), 9.75);
        QCOMPARE(window.control<QFrame>("Line1")->frameShape(), QFrame::VLine);
    }

    void listsAfterLoadKeepTheBoxesTexts() {
        WindowOverFakes window;
        window.comm.systemPorts = {{1, u"/dev/ttyACM0", u"u-blox"}};
        auto *ports = window.control<QComboBox>("comPuerto");
        const auto *speeds = window.control<QComboBox>("comBaudios");
        QVERIFY(ports->isEditable() && speeds->isEditable());
        QCOMPARE(listOf(ports), QStringList({"1", "2"}));
        QCOMPARE(listOf(speeds),
                 QStringList({"1200", "2400", "4800", "9600", "19200", "57600", "115200"}));
        QCOMPARE(ports->currentText(), "1");
        QCOMPARE(speeds->currentText(), "4800");
        QCOMPARE(window.control<QLineEdit>("txtOffset")->text(), "+2");
        QCOMPARE(ports->toolTip(), QString()); // the ports are listed on hovering
        QCOMPARE(hoverToolTip(ports), "1 = /dev/ttyACM0 (u-blox)");
    }

    void theTimerTicksEverySecond() {
        WindowOverFakes window;
        window.clock.current.localTime = {9, 5, 3};
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
        const struct {
            const char *control;
            QAccessible::Role role;
            QString name;
            QString label;
        } cases[] = {
            {"comPuerto", QAccessible::ComboBox, {}, "Puerto COM:"},
            {"comBaudios", QAccessible::ComboBox, {}, "Velocidad Baudios"},
            {"txtOffset", QAccessible::EditableText, "Diferencia horaria", "Diferencia horaria"},
            {"lblTime_0", QAccessible::StaticText, "12:35:19", "Hora del GPS"},
            {"lblTime_1", QAccessible::StaticText, "08:07:06", "Hora Ordenador"},
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

    void focusStartsWhereTheFirstTypingBelongs() {
        WindowOverFakes window;
        window.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&window.form));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), "txtOffset");
    }

    // Every point of a control that takes input or clicks reaches that control, even where a
    // label's box overlaps it.
    void aClickAnywhereOnAControlReachesIt() {
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

    // The speed typed is the speed a connect uses: no completion from the list.
    void aTypedSpeedIsUsedAsTyped() {
        WindowOverFakes window;
        window.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&window.form));
        auto *speed = window.control<QComboBox>("comBaudios");
        for (const QString typed : {"1", "11", "5", "96"}) {
            speed->setFocus();
            speed->lineEdit()->selectAll();
            QTest::keyClicks(speed, typed);
            QCOMPARE(speed->currentText(), typed);
            window.control<QPushButton>("Command1")->click();
            QCOMPARE(QString::fromStdU16String(window.form.behaviour().settings()),
                     typed + ",n,8,1");
        }
    }

    void labelsShowTheirWholeText() {
        WindowOverFakes window;
        window.form.show();
        for (const auto *label : window.form.findChildren<QLabel *>()) {
            const QRect box = label->contentsRect();
            const QRect needed =
                QFontMetrics(label->font()).boundingRect(box, Qt::TextWordWrap, label->text());
            QVERIFY2(box.contains(needed), qPrintable(label->objectName()));
        }
    }
};

QTEST_MAIN(Form1WindowTest)
#include "form1_window_test.moc"
