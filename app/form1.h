#pragma once

#include "sentence_assembler.h"
#include "text.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cronalba {

class CommControl;
class MessageDialog;
class OsClock;
class ProgramEnd;

// What the window works through: the serial control, the computer's clock, the message box
// and the end of the program.
struct Form1Services {
    CommControl &comNMEA;
    OsClock &clock;
    MessageDialog &messages;
    ProgramEnd &programEnd;
};

// The program's one window: builds its controls from kForm1Layout and turns their events into
// calls on the serial link's logic and the services.
class Form1 : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTimerIntervalMs = 1000;

    explicit Form1(Form1Services services, QWidget *parent = nullptr);

    // Shows the computer's current time in the computer time display.
    void refreshComputerTime();

    // The settings and port number of the last connect.
    const Text &settings() const { return strSettings; }
    std::int16_t portNumber() const { return intPort; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void styleControls();
    void chainTabOrder();
    template <typename Control> Control *control(const char *name) const;

    void Form_Load();
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();
    void cmdSync_Click();
    void comNMEA_OnComm();

    Form1Services services;
    CommControl &comNMEA;
    QTimer Timer1{this};

    std::array<QLabel *, 2> lblTime{};
    QComboBox *comPuerto = nullptr;
    QComboBox *comBaudios = nullptr;
    QLineEdit *txtOffset = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *cmdSync = nullptr;

    SentenceAssembler sentences; // holds strBuffer, kept from one connection to the next
    Text strSettings;
    std::int16_t intPort = 0;
};

} // namespace cronalba
