// The window as people meet it: what a screen reader announces, where the focus starts, where
// clicks and typing go, and the layout's proportions on a high-DPI screen.
#include "fakes.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace cronalba;
using namespace cronalba::testing;

namespace {

// Set in the child process that reports the window's geometry at one scale factor.
constexpr char kReportGeometry[] = "CRONALBA_REPORT_GEOMETRY";

// One line per control: its name, its box in device pixels within the window, and whether a
// label's text fits its box.
int reportGeometry(int argc, char **argv) {
    QApplication app(argc, argv);
    FakeServices fakes;
    Form1 form(fakes.services());
    form.show();
    const qreal ratio = form.devicePixelRatioF();
    QTextStream out(stdout);
    for (const QWidget *control : form.findChildren<QWidget *>()) {
        if (control->objectName().isEmpty() || control->parentWidget()->objectName().isEmpty()) {
            continue; // the inner parts of a combo box
        }
        const QRect box(control->mapTo(&form, QPoint(0, 0)), control->size());
        bool fits = true;
        if (const auto *label = qobject_cast<const QLabel *>(control)) {
            const QRect inside = label->contentsRect();
            const QRect needed =
                QFontMetrics(label->font()).boundingRect(inside, Qt::TextWordWrap, label->text());
            fits = needed.width() <= inside.width() && needed.height() <= inside.height();
        }
        out << control->objectName() << ' ' << qRound(box.x() * ratio) << ' '
            << qRound(box.y() * ratio) << ' ' << qRound(box.width() * ratio) << ' '
            << qRound(box.height() * ratio) << ' ' << (fits ? 1 : 0) << '\n';
    }
    return 0;
}

struct Box {
    int x, y, width, height;
    bool fits;
};

QMap<QString, Box> geometryAtScale(const QString &factor) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kReportGeometry, "1");
    environment.insert("QT_SCALE_FACTOR", factor);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        qWarning() << child.readAllStandardError();
        return {};
    }
    QMap<QString, Box> boxes;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() == 6) {
            boxes.insert(f[0],
                         {f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5] == "1"});
        }
    }
    return boxes;
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    // What a screen reader announces for each control once both times show: a display's name
    // is what it shows, and the label beside a control names it through the labelled-by
    // relation.
    void screenReaderHears_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name"); // null: the platform's choice (see below)
        QTest::addColumn<QString>("label");
        QTest::newRow("port") << "comPuerto" << QAccessible::ComboBox << QString() << "Puerto COM:";
        QTest::newRow("speed") << "comBaudios" << QAccessible::ComboBox << QString()
                               << "Velocidad Baudios";
        QTest::newRow("difference")
            << "txtOffset" << QAccessible::EditableText << "Diferencia horaria"
            << "Diferencia horaria";
        QTest::newRow("GPS time") << "lblTime_0" << QAccessible::StaticText << "12:35:19"
                                  << "Hora del GPS";
        QTest::newRow("computer time") << "lblTime_1" << QAccessible::StaticText << "08:07:06"
                                       << "Hora Ordenador";
    }
    void screenReaderHears() {
        QFETCH(QString, control);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, name);
        QFETCH(QString, label);
        FakeServices fakes;
        fakes.clock.current.setTime(QTime(8, 7, 6));
        Form1 form(fakes.services());
        form.show();
        form.findChild<QPushButton *>("Command1")->click();
        fakes.comm.receive("$GPRMC,123519,A\r\n");

        auto *widget = form.findChild<QWidget *>(control);
        QVERIFY(widget);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible && accessible->isValid());
        QCOMPARE(accessible->role(), role);
        // Qt names an editable combo box by its text on Linux and by its accessible name
        // elsewhere; the label names it everywhere.
        if (!name.isNull()) {
            QCOMPARE(accessible->text(QAccessible::Name), name);
        }
        QStringList labels;
        for (const auto &relation : accessible->relations(QAccessible::Label)) {
            labels.append(relation.first->text(QAccessible::Name));
        }
        QCOMPARE(labels.value(0), label); // the frame around a box may name it too, after
    }

    void focusStartsWhereTheFirstTypingBelongs() {
        FakeServices fakes;
        Form1 form(fakes.services());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), "txtOffset");
    }

    // Every point of a control that takes input or clicks reaches that control, even where a
    // label's box overlaps it.
    void aClickAnywhereOnAControlReachesIt_data() {
        QTest::addColumn<QString>("control");
        for (const char *name :
             {"comPuerto", "comBaudios", "txtOffset", "Command1", "cmdSync", "Command2"}) {
            QTest::newRow(name) << name;
        }
    }
    void aClickAnywhereOnAControlReachesIt() {
        QFETCH(QString, control);
        FakeServices fakes;
        Form1 form(fakes.services());
        form.show();
        auto *widget = form.findChild<QWidget *>(control);
        const QRect box(widget->mapTo(&form, QPoint(0, 0)), widget->size());
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                const QWidget *hit = form.childAt(x, y);
                QVERIFY2(hit == widget || widget->isAncestorOf(hit),
                         qPrintable(QStringLiteral("(%1, %2) reaches %3")
                                        .arg(x)
                                        .arg(y)
                                        .arg(hit ? hit->objectName() : QString())));
            }
        }
    }

    // The speed typed is the speed a connect uses: no completion from the list.
    void aTypedSpeedIsUsedAsTyped_data() {
        QTest::addColumn<QString>("typed");
        for (const char *typed : {"1", "11", "5", "96"}) {
            QTest::newRow(typed) << typed;
        }
    }
    void aTypedSpeedIsUsedAsTyped() {
        QFETCH(QString, typed);
        FakeServices fakes;
        Form1 form(fakes.services());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *speed = form.findChild<QComboBox *>("comBaudios");
        speed->setFocus();
        speed->lineEdit()->selectAll();
        QTest::keyClicks(speed, typed);
        QCOMPARE(speed->currentText(), typed);
        form.findChild<QPushButton *>("Command1")->click();
        QCOMPARE(fakes.comm.calls.value(0), "Settings=" + typed + ",n,8,1");
    }

    void doubleScaleKeepsTheProportions() {
        const QMap<QString, Box> single = geometryAtScale("1");
        const QMap<QString, Box> doubled = geometryAtScale("2");
        QVERIFY(single.size() > 20);
        QCOMPARE(doubled.keys(), single.keys());
        for (auto it = single.cbegin(); it != single.cend(); ++it) {
            const Box &one = it.value();
            const Box &two = doubled[it.key()];
            const auto near = [](int scaled, int unscaled) {
                return qAbs(scaled - 2 * unscaled) <= 1;
            };
            QVERIFY2(near(two.x, one.x) && near(two.y, one.y) && near(two.width, one.width) &&
                         near(two.height, one.height),
                     qPrintable(it.key()));
            QVERIFY2(one.fits && two.fits, qPrintable(it.key() + " cuts its text off"));
        }
    }
};

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsSet(kReportGeometry)) {
        return reportGeometry(argc, argv);
    }
    QApplication app(argc, argv);
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_test.moc"
