#include "form1_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace cronalba {

namespace {

QString toQString(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The window's own font, which every control without a font of its own takes: the condensed
// one first, the same on every system.
QFont windowFont() {
    QFont font;
    font.setFamilies({toQString(kCondensedFont.family), toQString(kClassicFont.family),
                      toQString(kLastResortFamily)});
    font.setPointSizeF(kCondensedFont.points);
    return font;
}

// The heading's font, with the condensed one where the classic Windows font is missing.
QFont headingFont() {
    QFont font;
    font.setFamilies({toQString(kHeadingFont.family), toQString(kCondensedFont.family)});
    font.setBold(kHeadingFont.bold);
    font.setPointSizeF(kHeadingFont.points);
    return font;
}

QWidget *newWidget(const ControlRow &row, QWidget *container) {
    const QString text = toQString(row.text);
    switch (row.kind) {
    case ControlKind::Frame:
        return new QGroupBox(text, container);
    case ControlKind::Label: {
        auto *label = new QLabel(text, container);
        label->setWordWrap(true);
        return label;
    }
    case ControlKind::Button:
        return new QPushButton(text, container);
    case ControlKind::ComboBox: {
        auto *box = new QComboBox(container);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr); // a typed text is used as typed, never completed
        box->setEditText(text);
        return box;
    }
    case ControlKind::TextBox:
        return new QLineEdit(text, container);
    case ControlKind::Line: {
        auto *line = new QFrame(container);
        line->setFrameStyle((row.width == 0 ? QFrame::VLine : QFrame::HLine) | QFrame::Plain);
        return line;
    }
    }
    return nullptr;
}

} // namespace

Form1Window::Form1Window(Form1Services services, QWidget *parent)
    : QWidget(parent)
    , form(*this, services) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(kCaption));
    setFont(windowFont());
    const int dpi = logicalDpiX();
    setFixedSize(twipsToPixels(kClientWidthTwips, dpi), twipsToPixels(kClientHeightTwips, dpi));
    for (const ControlRow &row : kForm1Layout) {
        QWidget *container =
            row.container == ControlId::Form1 ? this : controls[indexOf(row.container)];
        controls[indexOf(row.id)] = createControl(row, container);
    }
    for (const ControlRow &row : kForm1Layout) {
        styleControl(row);
    }
    stackAndChainControls();

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kTimer1IntervalMs);
    connect(&Timer1, &QTimer::timeout, this, [this] { form.Timer1_Timer(); });
    form.Form_Load();
    Timer1.start();
}

QWidget *Form1Window::createControl(const ControlRow &row, QWidget *container) {
    QWidget *widget = newWidget(row, container);
    widget->setObjectName(QString::fromLatin1(row.name));
    widget->setProperty("tabIndex", row.tab);
    const int dpi = logicalDpiX();
    widget->setGeometry(twipsToPixels(row.left, dpi), twipsToPixels(row.top, dpi),
                        std::max(1, twipsToPixels(row.width, dpi)),
                        std::max(1, twipsToPixels(row.height, dpi)));

    // The controls the handlers use are bound as they are made.
    switch (row.id) {
    case ControlId::lblTime_0:
    case ControlId::lblTime_1:
        lblTime[row.id == ControlId::lblTime_0 ? 0 : 1] = static_cast<QLabel *>(widget);
        break;
    case ControlId::comPuerto:
        comPuerto = static_cast<QComboBox *>(widget);
        comPuerto->installEventFilter(this); // for its tooltip
        break;
    case ControlId::comBaudios:
        comBaudios = static_cast<QComboBox *>(widget);
        break;
    case ControlId::txtOffset:
        txtOffset = static_cast<QLineEdit *>(widget);
        break;
    default:
        break;
    }
    // A box is named for screen readers by the caption beside it.
    if (const auto caption = namingCaption(row.id)) {
        widget->setAccessibleName(toQString(rowOf(*caption).text));
    }
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        connect(button, &QPushButton::clicked, this, [this, id = row.id] { form.click(id); });
    }
    return widget;
}

void Form1Window::styleControl(const ControlRow &row) {
    auto *label = qobject_cast<QLabel *>(controls[indexOf(row.id)]);
    if (label == nullptr) {
        return;
    }
    const Look &look = row.look;
    label->setAlignment((look.align == Align::Center ? Qt::AlignHCenter : Qt::AlignLeft) |
                        (look.border ? Qt::AlignVCenter : Qt::AlignTop));
    if (look.border) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
    }
    if (look.textColor) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText,
                         QColor(look.textColor->red, look.textColor->green, look.textColor->blue));
        label->setPalette(palette);
    }
    if (look.heading) {
        label->setFont(headingFont());
    }
    // A caption names the control beside it through the labelled-by relation.
    if (look.names) {
        label->setBuddy(controls[indexOf(*look.names)]);
    }
}

void Form1Window::stackAndChainControls() {
    // Labels lie beneath every control that takes input, so that a click on an input reaches it
    // where a label's box overlaps it; the connect button also lies over its frame.
    for (const ControlRow &row : kForm1Layout) {
        if (takesInput(row.kind)) {
            controls[indexOf(row.id)]->raise();
        }
    }
    const std::vector<ControlId> order = tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(controls[indexOf(order[i - 1])], controls[indexOf(order[i])]);
    }
    controls[indexOf(order.front())]->setFocus();
}

Text Form1Window::text(ControlId box) const {
    if (box == ControlId::txtOffset) {
        return txtOffset->text().toStdU16String();
    }
    return comboBox(box)->currentText().toStdU16String();
}

void Form1Window::setText(ControlId display, TextView text) {
    lblTime[display == ControlId::lblTime_0 ? 0 : 1]->setText(toQString(text));
}

void Form1Window::fillList(ControlId box, const std::vector<Text> &entries) {
    QComboBox *combo = comboBox(box);
    const QString shown = combo->currentText();
    for (const Text &entry : entries) {
        combo->addItem(toQString(entry));
    }
    combo->setCurrentIndex(combo->findText(shown));
    combo->setEditText(shown);
}

void Form1Window::unload() {
    close();
}

void Form1Window::closeEvent(QCloseEvent *event) {
    form.Form_Unload();
    event->accept();
}

bool Form1Window::eventFilter(QObject *watched, QEvent *event) {
    if (watched == comPuerto && event->type() == QEvent::ToolTip) {
        comPuerto->setToolTip(toQString(form.comPuertoToolTip()));
    }
    return QWidget::eventFilter(watched, event);
}

QComboBox *Form1Window::comboBox(ControlId id) const {
    return id == ControlId::comPuerto ? comPuerto : comBaudios;
}

} // namespace cronalba
