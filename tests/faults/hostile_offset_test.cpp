// Whatever is typed as the time difference, "Sincronizar Hora" with 12:35:19 on display either
// sets a time of day or leaves the clock alone with a warning; nothing else changes.
#include "fakes.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace cronalba;
using namespace cronalba::testing;

class HostileOffsetTest : public QObject {
    Q_OBJECT

private slots:
    void offsetText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QTime>("setTo"); // invalid: the clock is left alone
        const QTime outsideTheDay;
        QTest::newRow("empty counts 0") << "" << QTime(12, 35, 19);
        QTest::newRow("letters count 0") << "abc" << QTime(12, 35, 19);
        QTest::newRow("plus sign") << "+2" << QTime(14, 35, 19);
        QTest::newRow("no sign") << "2" << QTime(14, 35, 19);
        QTest::newRow("fraction rounds the hour") << "1.5" << QTime(14, 35, 19);
        QTest::newRow("negative") << "-5" << QTime(7, 35, 19);
        QTest::newRow("exponent not read") << "1e3" << QTime(13, 35, 19);
        QTest::newRow("20 nines") << "99999999999999999999" << outsideTheDay;
        QTest::newRow("11.5 rounds away from zero") << "-0.5" << QTime(12, 35, 19);
        QTest::newRow("10000 digits, infinite") << "1" + QString(9999, u'0') << outsideTheDay;
    }
    void offsetText() {
        QFETCH(QString, typed);
        QFETCH(QTime, setTo);
        FakeServices fakes;
        Form1 form(fakes.services());
        form.findChild<QPushButton *>("Command1")->click();
        fakes.comm.receive("$GPRMC,123519,A\r\n");
        const QStringList connectCalls = fakes.comm.calls;
        auto *gpsTime = form.findChild<QLabel *>("lblTime_0");
        QCOMPARE(gpsTime->text(), "12:35:19");

        form.findChild<QLineEdit *>("txtOffset")->setText(typed);
        form.findChild<QPushButton *>("cmdSync")->click();

        if (setTo.isValid()) {
            QCOMPARE(fakes.clock.requests.size(), 1);
            QCOMPARE(fakes.clock.requests[0].newTime, setTo);
            QVERIFY(fakes.messages.shown.isEmpty());
        } else {
            QVERIFY(fakes.clock.requests.isEmpty());
            QCOMPARE(fakes.messages.shown.size(), 1);
            QVERIFY(fakes.messages.shown[0].text.startsWith(QString::fromUtf8(
                "La hora del GPS más la diferencia horaria queda fuera del día")));
            QCOMPARE(fakes.messages.shown[0].title, "Cronalba");
            QCOMPARE(fakes.messages.shown[0].icon, MessageIcon::Warning);
        }
        QVERIFY(!fakes.programEnd.status);
        QCOMPARE(fakes.comm.calls, connectCalls);
        QCOMPARE(gpsTime->text(), "12:35:19");
        QCOMPARE(form.findChild<QLineEdit *>("txtOffset")->text(), typed);
        QCOMPARE(form.findChild<QComboBox *>("comPuerto")->currentText(), "1");
        QCOMPARE(form.findChild<QComboBox *>("comBaudios")->currentText(), "4800");
    }
};

QTEST_MAIN(HostileOffsetTest)
#include "hostile_offset_test.moc"
