// The window on a real desktop: what a screen reader announces, and the layout's proportions
// on a high-DPI screen.
#include "fakes.h"

#include <QAccessible>
#include <QLabel>
#include <QProcess>
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
    void screenReaderNames_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("label"); // the label that names it, where it has one
        QTest::newRow("port") << "comPuerto"
                              << "Puerto COM" << QAccessible::ComboBox << "Puerto COM:";
        QTest::newRow("speed") << "comBaudios"
                               << "Velocidad Baudios" << QAccessible::ComboBox
                               << "Velocidad Baudios";
        QTest::newRow("difference")
            << "txtOffset"
            << "Diferencia horaria" << QAccessible::EditableText << "Diferencia horaria";
        QTest::newRow("GPS time") << "lblTime_0"
                                  << "Hora del GPS" << QAccessible::StaticText << QString();
        QTest::newRow("computer time") << "lblTime_1"
                                       << "Hora Ordenador" << QAccessible::StaticText << QString();
    }
    void screenReaderNames() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, label);
        FakeServices fakes;
        Form1 form(fakes.services());
        form.show();
        auto *widget = form.findChild<QWidget *>(control);
        QVERIFY(widget);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible && accessible->isValid());
        QCOMPARE(accessible->role(), role);
        QCOMPARE(widget->accessibleName(), name);

        // Qt names an editable combo box by its text on Linux, and by its accessible name
        // elsewhere; there its label names it.
        const bool namedByLabel =
            role == QAccessible::ComboBox && accessible->text(QAccessible::Name) != name;
        QVERIFY2(!namedByLabel || QSysInfo::kernelType() == "linux",
                 qPrintable(accessible->text(QAccessible::Name)));
        if (!namedByLabel) {
            QCOMPARE(accessible->text(QAccessible::Name), name);
        }
        if (!label.isNull()) {
            QStringList labels;
            for (const auto &relation : accessible->relations(QAccessible::Label)) {
                labels.append(relation.first->text(QAccessible::Name));
            }
            QVERIFY2(labels.contains(label), qPrintable(labels.join('|')));
        }
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
