// The window with the real serial control on a pseudo-terminal, which stands for a receiver:
// the test writes NMEA text into the master side and reads the line settings from it.
#include "pseudo_terminal.h"
#include "quit_on_signal.h"
#include "window_over_fakes.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <csignal>

using namespace cronalba;
using namespace cronalba::testing;

class SerialPtyTest : public QObject {
    Q_OBJECT

private slots:
    void portNumbersFollowTheSortedList() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        QCOMPARE(hoverToolTip(window.form.findChild<QComboBox *>("comPuerto")),
                 QStringLiteral("1 = /dev/cronalba-missing0 (no existe)\n2 = %1 (pseudo-terminal)")
                     .arg(pty.slavePath));
    }

    void sentenceInThreePiecesShowsOnTheThird() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        window.connectAt("2", "4800");
        QVERIFY(!window.failed());
        QCOMPARE(pty.speed(), speed_t(B4800));
        const QList<QByteArray> pieces = {"*7D\r\nnoise$GPRM", "C,235959.6,A,4807.0",
                                          "38,N*6A\r\n"};
        for (int i = 0; i < 2; ++i) {
            pty.send(pieces[i]);
            QVERIFY(window.waitForNotification(5000));
            QCOMPARE(window.gpsTime(), QString());
        }
        pty.send(pieces[2]);
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "00:00:00", 5000);
    }

    void secondConnectAtAnotherSpeed() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        window.connectAt("2", "4800");
        pty.send("$GPGGA,101010,x\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "10:10:10", 5000);

        window.connectAt("2", "38400"); // typed, not in the list
        QVERIFY(!window.failed());
        QCOMPARE(window.gpsTime(), QString());
        QCOMPARE(pty.speed(), speed_t(B38400));
        QCOMPARE(openDescriptors(pty.slavePath), 1);
        QVERIFY(window.comm.portOpen());

        pty.send("$GPGSV,1,1\r\n");
        QVERIFY(window.waitForNotification(5000));
        QCOMPARE(window.gpsTime(), QString());
        pty.send("$GNRMC,202020,A\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "20:20:20", 5000);
    }

    void exitClosesThePort() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        window.connectAt("2", "9600");
        QCOMPARE(pty.speed(), speed_t(B9600));
        QVERIFY(!pty.hungUp());
        window.click("Command2");
        QVERIFY(!window.form.isVisible());
        QVERIFY(pty.hungUp());
        QCOMPARE(openDescriptors(pty.slavePath), 0);
    }

    void closingTheWindowClosesThePort() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        window.connectAt("2", "4800");
        QVERIFY(window.form.close());
        QVERIFY(pty.hungUp());
    }

    void endOfSessionClosesThePortThroughUnload() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        closeOnTerminationSignals(window.form);
        window.form.show();
        window.connectAt("2", "4800");
        ::raise(SIGTERM); // as the session does at logout
        QTRY_VERIFY_WITH_TIMEOUT(!window.form.isVisible(), 5000);
        QVERIFY(pty.hungUp());
        QVERIFY(!window.failed());
    }

    void receiverGoneClosesThePortQuietly() {
        PseudoTerminal pty;
        PtyWindow window(pty);
        window.connectAt("2", "4800");
        pty.send("$GPRMC,111111,A\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(window.gpsTime(), "11:11:11", 5000);
        pty.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!window.comm.portOpen(), 5000);
        QCOMPARE(window.gpsTime(), "11:11:11");
        QVERIFY(!window.failed());
    }

    // Port and speed texts the control refuses have their own tables among the fault tests;
    // here, ports that the text names well but the system can't open.
    void connectFails_data() {
        QTest::addColumn<QString>("port");
        QTest::newRow("no such device") << "1";
        QTest::newRow("one beyond the list") << "3";
    }
    void connectFails() {
        QFETCH(QString, port);
        PseudoTerminal pty;
        PtyWindow window(pty);
        window.connectAt(port, "4800");
        QCOMPARE(window.programEnd.status, 1);
        QCOMPARE(window.messages.shown.size(), std::size_t{1});
        QVERIFY(window.messages.shown[0].text == u"No puedo abrir el puerto de comunicaciones");
        QVERIFY(!window.comm.portOpen());
        QCOMPARE(openDescriptors(pty.slavePath), 0);
    }

    void portBusyElsewhereFails() {
        PseudoTerminal pty;
        PtyWindow first(pty);
        first.connectAt("2", "4800");
        QVERIFY(!first.failed());
        PtyWindow second(pty);
        second.connectAt("2", "4800");
        QVERIFY(second.failed());
    }
};

QTEST_MAIN(SerialPtyTest)
#include "serial_pty_test.moc"
