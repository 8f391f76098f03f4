#include "form1_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace cronalba {

namespace {

QString toQString(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

bool familyInstalled(const char16_t *family) {
    return QFontDatabase::hasFamily(toQString(family));
}

QFont fontOf(const FontSpec &spec) {
    QFont font(toQString(spec.family));
    font.setPointSizeF(spec.points);
    font.setBold(spec.bold);
    return font;
}

// Whether every label but the heading shows its whole text, wrapped, within the part of its box
// that shows, in font at dpi.
bool labelsFit(const FontSpec &spec, int dpi) {
    const QFontMetrics metrics(fontOf(spec));
    return std::all_of(kForm1Layout.begin(), kForm1Layout.end(), [&](const ControlRow &row) {
        if (row.kind != ControlKind::Label || row.look.heading) {
            return true;
        }
        const int border = row.look.border ? 2 : 0;
        const QRect box(0, 0, twipsToPixels(visibleWidth(row.id), dpi) - border,
                        twipsToPixels(row.height, dpi) - border);
        return box.contains(metrics.boundingRect(box, Qt::TextWordWrap, toQString(row.text)));
    });
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
    const int dpi = logicalDpiX();
    const FontSpec windowSpec = windowFontFor(
        familyInstalled, [dpi](const FontSpec &font) { return labelsFit(font, dpi); });
    setFont(fontOf(windowSpec));
    headingFont = fontOf(headingFontFor(familyInstalled, windowSpec));
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
                        std::max(1, twipsToPixels(visibleWidth(row.id), dpi)),
                        std::max(1, twipsToPixels(row.height, dpi)));
    if (row.id == ControlId::comPuerto) {
        widget->installEventFilter(this); // for its tooltip
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
        label->setFont(headingFont);
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
    if (const auto *combo = control<QComboBox>(box)) {
        return combo->currentText().toStdU16String();
    }
    return control<QLineEdit>(box)->text().toStdU16String();
}

void Form1Window::setText(ControlId display, TextView text) {
    control<QLabel>(display)->setText(toQString(text));
}

void Form1Window::fillList(ControlId box, const std::vector<Text> &entries) {
    auto *combo = control<QComboBox>(box);
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
    auto *ports = control<QComboBox>(ControlId::comPuerto);
    if (watched == ports && event->type() == QEvent::ToolTip) {
        ports->setToolTip(toQString(form.comPuertoToolTip()));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cronalba
