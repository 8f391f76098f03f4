// The window over fakes: its controls as laid out, the lists and texts after load, the
// computer time display, connect, receive, exit, unload and the failed connect.
#include "fakes.h"
#include "qt_message_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace cronalba;
using namespace cronalba::testing;

namespace {

// The window as it must look, written out apart from the program's own table so that a
// mistyped row in either shows up.
struct ExpectedControl {
    const char *name;
    const char *className;
    const char *parent;
    QString text;
    int left, top, width, height; // twips
    int tab;
};

const QList<ExpectedControl> kExpected = {
    {"Frame2", "QGroupBox", "Form1", "", 120, 5760, 3615, 615, 22},
    {"Label13", "QLabel", "Frame2", "Cronalba: la hora del GPS en su ordenador", 240, 240, 3255,
     255, 23},
    {"Command2", "QPushButton", "Form1", "SALIR DEL PROGRAMA", 3960, 5880, 1935, 375, 20},
    {"cmdSync", "QPushButton", "Form1", "Sincronizar Hora", 4200, 1440, 1395, 435, 12},
    {"Command1", "QPushButton", "Form1", QString::fromUtf8("Empezar conexión"), 4080, 480, 1635,
     435, 11},
    {"Frame1", "QGroupBox", "Form1", QString::fromUtf8("Configuración de las comunciaciones"), 120,
     120, 5895, 975, 5},
    {"comBaudios", "QComboBox", "Frame1", "4800", 2640, 390, 975, 315, 10},
    {"comPuerto", "QComboBox", "Frame1", "1", 840, 390, 615, 315, 7},
    {"Label3", "QLabel", "Frame1", "Velocidad Baudios", 1800, 360, 855, 375, 8},
    {"Label2", "QLabel", "Frame1", "Puerto COM:", 120, 360, 855, 375, 6},
    {"txtOffset", "QLineEdit", "Form1", "+2", 3120, 1560, 500, 285, 4},
    {"Label12", "QLabel", "Form1",
     QString::fromUtf8("NO OLVIDAR que para que la hora sea correcta, el GPS tiene que estar "
                       "adquiriendo de forma activa una posición comunicándose con los "
                       "satélites. Si sincronizas en el interior de una casa, asegurate que "
                       "has adquirido recientemente una posición."),
     120, 5160, 6015, 735, 21},
    {"Label11", "QLabel", "Form1",
     "1. El GPS debe emitir sentencias NMEA (modo None/NMEA o NMEA/NMEA)", 120, 2400, 6135, 255,
     19},
    {"Label10", "QLabel", "Form1",
     QString::fromUtf8("Nota: El programa dará errores de ejecución si se usa un valor de "
                       "Puerto COM que esté siendo usado por el ratón, el modem, u otro tipo "
                       "de \"device\"."),
     120, 4680, 6015, 495, 18},
    {"Label9", "QLabel", "Form1",
     "5. Una vez que aparezca la \"Hora del GPS\", se puede pulsar \"Sincronizar Hora\"", 120, 4440,
     6015, 255, 17},
    {"Label8", "QLabel", "Form1",
     QString::fromUtf8("4. Introducir el valor adecuado de la diferencia horaria (1 ó 2 horas "
                       "en España). Se puede escoger un valor negativo para otros paises."),
     120, 3960, 5775, 375, 16},
    {"Label7", "QLabel", "Form1",
     QString::fromUtf8("3. Pulsar \"Empezar conexión\". La Hora del GPS aparecerá sólo si se "
                       "han escogido los parámetros de conexión adecuados. Si no aparece la "
                       "hora, se puede volver a escoger una velocidad distinta, debiendose "
                       "pulsar \"Empezar conexión\" con cada nuevo intento"),
     120, 3120, 6015, 855, 15},
    {"Label6", "QLabel", "Form1",
     "2. Escoger el Puerto COM y la velocidad de Baudios adecuada (4800 en un Garmin, hasta "
     "115200 en un Lowrance, 4800 en los Magellans)",
     120, 2640, 5655, 495, 14},
    {"Label5", "QLabel", "Form1", "Intrucciones:", 2400, 2100, 1335, 255, 13},
    {"Label4", "QLabel", "Form1", "Diferencia horaria", 2700, 1320, 1335, 375, 9},
    {"Label1_0", "QLabel", "Form1", "Hora del GPS", 285, 1350, 975, 285, 3},
    {"Label1_2", "QLabel", "Form1", "Hora Ordenador", 120, 1725, 1140, 195, 2},
    {"lblTime_0", "QLabel", "Form1", " ", 1320, 1320, 1200, 255, 1},
    {"lblTime_1", "QLabel", "Form1", "", 1320, 1695, 1200, 255, 0},
};

QString textOf(const QWidget *widget) {
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        return label->text();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        return button->text();
    }
    if (const auto *box = qobject_cast<const QComboBox *>(widget)) {
        return box->currentText();
    }
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        return edit->text();
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget)) {
        return frame->title();
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

class Form1Test : public QObject {
    Q_OBJECT

private:
    template <typename T> static T *child(const Form1 &form, const char *name) {
        auto *found = form.findChild<T *>(QString::fromLatin1(name));
        if (!found) {
            qFatal("no control %s", name);
        }
        return found;
    }

private slots:
    void windowCaptionAndClientArea() {
        FakeServices fakes;
        Form1 form(fakes.services());
        QCOMPARE(form.logicalDpiX(), 96);
        QCOMPARE(form.windowTitle(), QString::fromUtf8("Cronalba  (Versión 1.0)"));
        QCOMPARE(form.size(), QSize(6210 / 15, 6480 / 15));
    }

    void controlsMatchTheLayout_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < kExpected.size(); ++row) {
            QTest::newRow(kExpected[row].name) << row;
        }
    }
    void controlsMatchTheLayout() {
        QFETCH(int, row);
        const ExpectedControl &expected = kExpected[row];
        FakeServices fakes;
        Form1 form(fakes.services());
        const auto twips = [](int value) { return qRound(value / 15.0); };
        const auto *widget = child<QWidget>(form, expected.name);
        QVERIFY(widget->inherits(expected.className));
        QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(expected.parent));
        QCOMPARE(textOf(widget), expected.text);
        QCOMPARE(widget->geometry(), QRect(twips(expected.left), twips(expected.top),
                                           twips(expected.width), twips(expected.height)));
        QCOMPARE(widget->property("tabIndex").toInt(), expected.tab);
    }

    void line() {
        FakeServices fakes;
        Form1 form(fakes.services());
        const auto *line = child<QFrame>(form, "Line1");
        QCOMPARE(line->parentWidget()->objectName(), QStringLiteral("Frame1"));
        QCOMPARE(line->frameShape(), QFrame::VLine);
        QCOMPARE(line->geometry(), QRect(112, 16, 1, 40));
    }

    void tabOrderFollowsTheTabIndices() {
        FakeServices fakes;
        Form1 form(fakes.services());
        const QStringList expected = {"txtOffset", "comPuerto", "comBaudios",
                                      "Command1",  "cmdSync",   "Command2"};
        QStringList chain;
        QWidget *widget = child<QWidget>(form, "txtOffset");
        while (chain.size() < expected.size()) {
            if (expected.contains(widget->objectName()) && !chain.contains(widget->objectName())) {
                chain.append(widget->objectName());
            }
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(chain, expected);
    }

    void appearance() {
        FakeServices fakes;
        Form1 form(fakes.services());
        for (const char *name : {"lblTime_0", "lblTime_1"}) {
            const auto *display = child<QLabel>(form, name);
            QCOMPARE(display->frameShape(), QFrame::Box);
            QCOMPARE(display->frameShadow(), QFrame::Plain);
            QCOMPARE(display->lineWidth(), 1);
            QVERIFY(display->alignment() & Qt::AlignHCenter);
        }
        for (const char *name : {"Label2", "Label3", "Label4"}) {
            QVERIFY(child<QLabel>(form, name)->alignment() & Qt::AlignHCenter);
        }
        const auto colour = [&](const char *name) {
            return child<QLabel>(form, name)->palette().color(QPalette::WindowText);
        };
        QCOMPARE(colour("Label10"), QColor(0, 0, 255));
        QCOMPARE(colour("Label12"), QColor(128, 0, 0));
        QCOMPARE(colour("Label5"), QColor(255, 0, 0));
        const QFont heading = child<QLabel>(form, "Label5")->font();
        QCOMPARE(heading.family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(heading.weight(), QFont::Bold);
        QCOMPARE(heading.pointSizeF(), 9.75);

        // The connect button is drawn above the frame it lies over.
        QCOMPARE(form.childAt(child<QWidget>(form, "Command1")->geometry().center()),
                 child<QWidget>(form, "Command1"));

    }

    void labelsShowTheirWholeText() {
        FakeServices fakes;
        Form1 form(fakes.services());
        form.show();
        for (const auto *label : form.findChildren<QLabel *>()) {
            const QRect box = label->contentsRect();
            const QFontMetrics metrics(label->font());
            const QRect needed = metrics.boundingRect(box, Qt::TextWordWrap, label->text());
            QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(),
                     qPrintable(label->objectName()));
        }
    }

    void listsAfterLoad() {
        FakeServices fakes;
        Form1 form(fakes.services());
        auto *ports = child<QComboBox>(form, "comPuerto");
        const auto *speeds = child<QComboBox>(form, "comBaudios");
        QVERIFY(ports->isEditable() && speeds->isEditable());
        QCOMPARE(listOf(ports), QStringList({"1", "2"}));
        QCOMPARE(listOf(speeds),
                 QStringList({"1200", "2400", "4800", "9600", "19200", "57600", "115200"}));
        QCOMPARE(ports->currentText(), "1");
        QCOMPARE(speeds->currentText(), "4800");
        QCOMPARE(ports->toolTip(), QString()); // the ports are listed on hovering
        QCOMPARE(hoverToolTip(ports), fakes.comm.portNumbering());
        QVERIFY(fakes.comm.calls.isEmpty());
    }

    void computerTimeDisplay_data() {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("shown");
        QTest::newRow("leading zeros") << QTime(9, 5, 3) << "09:05:03";
        QTest::newRow("before midnight") << QTime(23, 59, 59) << "23:59:59";
        QTest::newRow("midnight") << QTime(0, 0, 0) << "00:00:00";
    }
    void computerTimeDisplay() {
        QFETCH(QTime, now);
        QFETCH(QString, shown);
        FakeServices fakes;
        fakes.clock.current.setTime(now);
        Form1 form(fakes.services());
        QCOMPARE(child<QLabel>(form, "lblTime_1")->text(), QString()); // until the first tick
        QCOMPARE(child<QTimer>(form, "Timer1")->interval(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(form, "lblTime_1")->text(), shown, 3000);
    }

    void connectSetsThePortUpInOrder() {
        FakeServices fakes;
        fakes.clock.current.setTime(QTime(8, 7, 6));
        Form1 form(fakes.services());
        child<QComboBox>(form, "comPuerto")->setEditText(" 2.5");
        child<QComboBox>(form, "comBaudios")->setEditText("38400");
        child<QLabel>(form, "lblTime_0")->setText("12:00:00");
        child<QPushButton>(form, "Command1")->click();

        QCOMPARE(fakes.comm.calls,
                 QStringList({"Settings=38400,n,8,1", "CommPort=2", "PortOpen=true"}));
        QCOMPARE(form.settings(), u"38400,n,8,1");
        QCOMPARE(form.portNumber(), 2);
        QCOMPARE(child<QLabel>(form, "lblTime_0")->text(), QString());
        QCOMPARE(child<QLabel>(form, "lblTime_1")->text(), "08:07:06"); // at once
        QVERIFY(fakes.messages.shown.isEmpty());

        // A second connect starts over on a closed port.
        fakes.comm.calls.clear();
        child<QPushButton>(form, "Command1")->click();
        QCOMPARE(fakes.comm.calls, QStringList({"PortOpen=false", "Settings=38400,n,8,1",
                                                "CommPort=2", "PortOpen=true"}));
    }

    void receiveShowsTheLastTimeAndKeepsTheBufferAcrossConnects() {
        FakeServices fakes;
        Form1 form(fakes.services());
        auto *gpsTime = child<QLabel>(form, "lblTime_0");
        child<QPushButton>(form, "Command1")->click();
        fakes.comm.receive("tail*7D\r\n$GPRMC,123519,A,4807.038,N");
        QCOMPARE(gpsTime->text(), QString());
        child<QPushButton>(form, "Command1")->click(); // the half sentence stays
        fakes.comm.receive(",01131.000,E*6A\r\n$GPGGA,010203.6,x\r\n$GPGSV,1\r\n");
        QCOMPARE(gpsTime->text(), "01:02:04");
        fakes.comm.receive("$GPRMC,,V*00\r\n");
        QCOMPARE(gpsTime->text(), "01:02:04");
    }

    void failedConnect_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("failingStep");
        QTest::addColumn<QStringList>("calls");
        const QStringList settings = {"Settings=4800,n,8,1"};
        const QStringList port = settings + QStringList{"CommPort=1"};
        const QStringList open = port + QStringList{"PortOpen=true"};
        QTest::newRow("settings") << QString("1") << QString("Settings") << settings;
        QTest::newRow("port number") << QString("1") << QString("CommPort") << port;
        QTest::newRow("open") << QString("1") << QString("PortOpen") << open;
        QTest::newRow("beyond 16 bits") << QString("32767.5") << QString() << QStringList();
    }
    void failedConnect() {
        QFETCH(QString, port);
        QFETCH(QString, failingStep);
        QFETCH(QStringList, calls);
        FakeServices fakes;
        fakes.comm.failSettings = failingStep == "Settings";
        fakes.comm.failCommPort = failingStep == "CommPort";
        fakes.comm.failOpen = failingStep == "PortOpen";
        Form1 form(fakes.services());
        form.show();
        child<QComboBox>(form, "comPuerto")->setEditText(port);
        child<QPushButton>(form, "Command1")->click();

        QCOMPARE(fakes.comm.calls, calls);
        QCOMPARE(fakes.messages.shown.size(), 1);
        QCOMPARE(fakes.messages.shown[0].text, "No puedo abrir el puerto de comunicaciones");
        QCOMPARE(fakes.messages.shown[0].title, "Cronalba");
        QCOMPARE(fakes.messages.shown[0].icon, MessageIcon::None);
        QCOMPARE(fakes.programEnd.status, 1);
        QVERIFY(form.isVisible()); // ended at once: nothing unloaded, nothing refreshed
        QCOMPARE(child<QLabel>(form, "lblTime_1")->text(), QString());
    }

    void exitClosesAnOpenPortAndUnloads() {
        FakeServices fakes;
        Form1 form(fakes.services());
        form.show();
        child<QPushButton>(form, "Command1")->click();
        fakes.comm.calls.clear();
        child<QPushButton>(form, "Command2")->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(fakes.comm.calls, QStringList({"PortOpen=false", "PortOpen=false"}));
        QVERIFY(fakes.messages.shown.isEmpty());
    }

    void exitWithThePortClosedJustUnloads() {
        FakeServices fakes;
        Form1 form(fakes.services());
        form.show();
        child<QPushButton>(form, "Command2")->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(fakes.comm.calls, QStringList({"PortOpen=false"}));
        QVERIFY(fakes.messages.shown.isEmpty());
    }

    void titleBarCloseUnloads() {
        FakeServices fakes;
        Form1 form(fakes.services());
        form.show();
        child<QPushButton>(form, "Command1")->click();
        QVERIFY(form.close());
        QVERIFY(!fakes.comm.portOpen());
    }

    void realMessageBoxContent() {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::Critical;
        QMessageBox::StandardButtons buttons;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            buttons = box->standardButtons();
            box->accept();
        });
        QtMessageDialog().show("No puedo abrir el puerto de comunicaciones", "Cronalba",
                               MessageIcon::None);
        QCOMPARE(text, "No puedo abrir el puerto de comunicaciones");
        QCOMPARE(title, "Cronalba");
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    // Which times the differences give is the hostile-input table's business; here, that the
    // window hands the clock the moment of the click and shows the new time at once.
    void syncPassesTheClickTimeAndRefreshesTheDisplay() {
        FakeServices fakes;
        fakes.clock.current.setTime(QTime(10, 0, 0));
        Form1 form(fakes.services());
        child<QLabel>(form, "lblTime_0")->setText("12:35:19");
        child<QPushButton>(form, "cmdSync")->click();

        QCOMPARE(fakes.clock.requests.size(), 1);
        QCOMPARE(fakes.clock.requests[0].newTime, QTime(14, 35, 19));
        QCOMPARE(fakes.clock.requests[0].requestedAt.time(), QTime(10, 0, 0));
        QCOMPARE(child<QLabel>(form, "lblTime_1")->text(), "14:35:19");
        QVERIFY(fakes.messages.shown.isEmpty());
    }

    void syncThatCannotBeDoneLeavesTheClockAndSaysWhy_data() {
        QTest::addColumn<QString>("gpsTime");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("at start") << " "
                                  << "+2" << QString() << "Empezar conexión";
        QTest::newRow("after connect") << ""
                                       << "+2" << QString() << "Empezar conexión";
        QTest::newRow("past midnight") << "23:10:00"
                                       << "+2" << QString() << "diferencia";
        QTest::newRow("before midnight") << "01:10:00"
                                         << "-2" << QString() << "diferencia";
        QTest::newRow("refused") << "12:35:19"
                                 << "+2"
                                 << "No se permite"
                                 << "No se permite";
    }
    void syncThatCannotBeDoneLeavesTheClockAndSaysWhy() {
        QFETCH(QString, gpsTime);
        QFETCH(QString, offset);
        QFETCH(QString, refusal);
        QFETCH(QString, messagePart);
        FakeServices fakes;
        if (!refusal.isNull()) {
            fakes.clock.refusal = refusal;
        }
        const QDateTime before = fakes.clock.current;
        Form1 form(fakes.services());
        child<QLabel>(form, "lblTime_0")->setText(gpsTime);
        child<QLineEdit>(form, "txtOffset")->setText(offset);
        child<QPushButton>(form, "cmdSync")->click();

        QCOMPARE(fakes.clock.current, before);
        QCOMPARE(fakes.clock.requests.size(), refusal.isNull() ? 0 : 1);
        QCOMPARE(fakes.messages.shown.size(), 1);
        QVERIFY2(fakes.messages.shown[0].text.contains(messagePart),
                 qPrintable(fakes.messages.shown[0].text));
        QCOMPARE(fakes.messages.shown[0].title, "Cronalba");
        QCOMPARE(fakes.messages.shown[0].icon, MessageIcon::Warning);
        QCOMPARE(child<QLabel>(form, "lblTime_0")->text(), gpsTime);
        QVERIFY(!fakes.programEnd.status);
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
