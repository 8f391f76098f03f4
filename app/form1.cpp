#include "form1.h"

#include "comm_control.h"
#include "form1_layout.h"
#include "message_dialog.h"
#include "os_clock.h"
#include "program_end.h"
#include "serial_link.h"
#include "sync_decision.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace cronalba {

namespace {

const QString kAppTitle = QStringLiteral("Cronalba");
const QString kPortFailure = QStringLiteral("No puedo abrir el puerto de comunicaciones");

constexpr int kFirstPort = 1;
constexpr int kLastPort = 2;
constexpr int kLowestSpeed = 600;
constexpr int kDoublings = 5;
constexpr std::array kFastSpeeds{57600, 115200};

constexpr double kTwipsPerInch = 1440.0;

QString toQString(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The window's own font, which every control without a font of its own takes. The layout's
// boxes were measured for a small sans-serif font with a line every 11 or 12 pixels; a
// condensed one gives the long instructions room on every system.
QFont windowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial")});
    font.setPointSizeF(7.5);
    return font;
}

// The heading's font, with a condensed stand-in where the classic Windows font is missing.
QFont headingFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans Condensed")});
    font.setBold(true);
    font.setPointSizeF(9.75);
    return font;
}

void setTextColor(QWidget *widget, const QColor &color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

// Fills a list without changing the text the user sees in the box.
void fillKeepingText(QComboBox *box, const QStringList &entries) {
    const QString text = box->currentText();
    box->addItems(entries);
    box->setCurrentIndex(box->findText(text));
    box->setEditText(text);
}

// A control of the kind the row names, with its text, name and tab index.
QWidget *createControl(const ControlRow &row, QWidget *container) {
    const QString text = toQString(row.text);
    QWidget *widget = nullptr;
    switch (row.kind) {
    case ControlKind::Frame:
        widget = new QGroupBox(text, container);
        break;
    case ControlKind::Label: {
        auto *label = new QLabel(text, container);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
    }
    case ControlKind::Button:
        widget = new QPushButton(text, container);
        break;
    case ControlKind::ComboBox: {
        auto *box = new QComboBox(container);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr); // a typed text is used as typed, never completed
        box->setEditText(text);
        widget = box;
        break;
    }
    case ControlKind::TextBox:
        widget = new QLineEdit(text, container);
        break;
    case ControlKind::Line: {
        auto *line = new QFrame(container);
        line->setFrameStyle((row.width == 0 ? QFrame::VLine : QFrame::HLine) | QFrame::Plain);
        widget = line;
        break;
    }
    }
    widget->setObjectName(QString::fromLatin1(row.name));
    widget->setProperty("tabIndex", row.tab);
    return widget;
}

} // namespace

Form1::Form1(Form1Services windowServices, QWidget *parent)
    : QWidget(parent)
    , services(windowServices)
    , comNMEA(windowServices.comNMEA) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(kCaption));
    setFont(windowFont());
    createControls();
    styleControls();
    chainTabOrder();
    comNMEA.setObjectName(QStringLiteral("comNMEA"));

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kTimerIntervalMs);
    connect(&Timer1, &QTimer::timeout, this, &Form1::refreshComputerTime);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(cmdSync, &QPushButton::clicked, this, &Form1::cmdSync_Click);
    connect(&comNMEA, &CommControl::onComm, this, &Form1::comNMEA_OnComm);

    Form_Load();
    Timer1.start();
}

void Form1::refreshComputerTime() {
    lblTime[1]->setText(services.clock.now().time().toString(QStringLiteral("HH:mm:ss")));
}

void Form1::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

void Form1::createControls() {
    const double pixelsPerTwip = logicalDpiX() / kTwipsPerInch;
    const auto pixels = [pixelsPerTwip](int twips) { return qRound(twips * pixelsPerTwip); };
    setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));

    for (const ControlRow &row : kForm1Layout) {
        const QString container = QString::fromLatin1(row.container);
        QWidget *parent = container == objectName() ? this : control<QWidget>(row.container);
        QWidget *widget = createControl(row, parent);
        widget->setGeometry(pixels(row.left), pixels(row.top), std::max(1, pixels(row.width)),
                            std::max(1, pixels(row.height)));
    }
    lblTime = {control<QLabel>("lblTime_0"), control<QLabel>("lblTime_1")};
    comPuerto = control<QComboBox>("comPuerto");
    comBaudios = control<QComboBox>("comBaudios");
    txtOffset = control<QLineEdit>("txtOffset");
    Command1 = control<QPushButton>("Command1");
    Command2 = control<QPushButton>("Command2");
    cmdSync = control<QPushButton>("cmdSync");

    // Labels lie beneath every control that takes input, so that a click on an input reaches
    // it where a label's box overlaps it; the connect button also lies over its frame.
    for (const ControlRow &row : kForm1Layout) {
        if (takesFocus(row.kind)) {
            control<QWidget>(row.name)->raise();
        }
    }
}

void Form1::styleControls() {
    for (const char *name : {"Label2", "Label3", "Label4"}) {
        control<QLabel>(name)->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    for (QLabel *display : lblTime) {
        display->setFrameStyle(QFrame::Box | QFrame::Plain);
        display->setLineWidth(1);
        display->setAlignment(Qt::AlignCenter);
    }
    setTextColor(control<QLabel>("Label10"), QColor(0, 0, 255));
    setTextColor(control<QLabel>("Label12"), QColor(128, 0, 0));
    setTextColor(control<QLabel>("Label5"), QColor(255, 0, 0));
    control<QLabel>("Label5")->setFont(headingFont());

    // Names for screen readers where a control shows no text of its own; a display's name is
    // the time it shows.
    comPuerto->setAccessibleName(QStringLiteral("Puerto COM"));
    comBaudios->setAccessibleName(QStringLiteral("Velocidad Baudios"));
    txtOffset->setAccessibleName(QStringLiteral("Diferencia horaria"));
    // The label beside each box and display names it too (the labelled-by relation): where a
    // platform names an editable combo box by its text (Linux does), and for the two times.
    control<QLabel>("Label2")->setBuddy(comPuerto);
    control<QLabel>("Label3")->setBuddy(comBaudios);
    control<QLabel>("Label4")->setBuddy(txtOffset);
    control<QLabel>("Label1_0")->setBuddy(lblTime[0]);
    control<QLabel>("Label1_2")->setBuddy(lblTime[1]);
}

void Form1::chainTabOrder() {
    std::vector<QWidget *> focusable;
    for (const ControlRow &row : kForm1Layout) {
        if (takesFocus(row.kind)) {
            focusable.push_back(control<QWidget>(row.name));
        }
    }
    std::sort(focusable.begin(), focusable.end(), [](QWidget *a, QWidget *b) {
        return a->property("tabIndex").toInt() < b->property("tabIndex").toInt();
    });
    for (std::size_t i = 1; i < focusable.size(); ++i) {
        QWidget::setTabOrder(focusable[i - 1], focusable[i]);
    }
    // The focus starts where the first typing belongs: the lowest tab index.
    focusable.front()->setFocus();
}

template <typename Control> Control *Form1::control(const char *name) const {
    auto *found = findChild<Control *>(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

void Form1::Form_Load() {
    QStringList ports;
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        ports.append(QString::number(port));
    }
    fillKeepingText(comPuerto, ports);

    QStringList speeds;
    int speed = kLowestSpeed;
    for (int i = 0; i < kDoublings; ++i) {
        speed *= 2;
        speeds.append(QString::number(speed));
    }
    for (const int fast : kFastSpeeds) {
        speeds.append(QString::number(fast));
    }
    fillKeepingText(comBaudios, speeds);

    // The port numbering is looked up when the user hovers over the box, not at start: listing
    // the system's serial ports takes a while.
    comPuerto->installEventFilter(this);
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == comPuerto && event->type() == QEvent::ToolTip) {
        comPuerto->setToolTip(comNMEA.portNumbering());
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Form_Unload() {
    comNMEA.setPortOpen(false); // the port may be closed already; nothing to report either way
}

void Form1::Command1_Click() {
    if (comNMEA.portOpen()) {
        comNMEA.setPortOpen(false);
    }
    lblTime[0]->setText(QString());
    comPuerto->setToolTip(comNMEA.portNumbering());

    strSettings = settingsForSpeed(comBaudios->currentText().toStdU16String());
    const auto port = portNumberFromText(comPuerto->currentText().toStdU16String());
    intPort = port.value_or(0);

    const bool opened = port && comNMEA.setSettings(toQString(strSettings)) &&
                        comNMEA.setCommPort(*port) && comNMEA.setPortOpen(true);
    if (!opened) {
        services.messages.show(kPortFailure, kAppTitle, MessageIcon::None);
        services.programEnd.endNow(1);
        return;
    }
    refreshComputerTime();
}

void Form1::Command2_Click() {
    if (comNMEA.portOpen()) {
        comNMEA.setPortOpen(false);
    }
    close();
}

void Form1::cmdSync_Click() {
    const SyncDecision decision =
        decideSync(lblTime[0]->text().toStdU16String(), txtOffset->text().toStdU16String());
    if (decision.verdict != SyncVerdict::Set) {
        services.messages.show(toQString(notSetMessage(decision.verdict)), kAppTitle,
                               MessageIcon::Warning);
        return;
    }
    const QTime newTime(decision.time.hours, decision.time.minutes, decision.time.seconds);
    const ClockSetResult result = services.clock.setTimeOfDay(newTime, services.clock.now());
    if (!result.done) {
        services.messages.show(result.message, kAppTitle, MessageIcon::Warning);
        return;
    }
    refreshComputerTime();
}

void Form1::comNMEA_OnComm() {
    const std::vector<Text> times = sentences.appendAndExtract(comNMEA.input().toStdU16String());
    if (!times.empty()) {
        lblTime[0]->setText(toQString(times.back()));
    }
}

} // namespace cronalba
