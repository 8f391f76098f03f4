#pragma once

#include "form1.h"
#include "form1_view.h"

#include <QFont>
#include <QTimer>
#include <QWidget>

#include <array>

namespace cronalba {

// Form1 as a Qt window: its controls made from kForm1Layout, their events handed to Form1's
// handlers, and what the handlers decide shown in the controls.
class Form1Window final : public QWidget, public Form1View {
    Q_OBJECT

public:
    explicit Form1Window(Form1Services services, QWidget *parent = nullptr);

    // The window's handlers and their state.
    Form1 &behaviour() { return form; }
    const Form1 &behaviour() const { return form; }

    // Form1View
    Text text(ControlId box) const override;
    void setText(ControlId display, TextView text) override;
    void fillList(ControlId box, const std::vector<Text> &entries) override;
    void unload() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *createControl(const ControlRow &row, QWidget *container);
    void styleControl(const ControlRow &row);
    void stackAndChainControls();
    // The control of id if it is a Control, else null.
    template <typename Control> Control *control(ControlId id) const {
        return qobject_cast<Control *>(controls[indexOf(id)]);
    }

    std::array<QWidget *, kControlCount> controls{};
    QFont headingFont;
    QTimer Timer1{this};

    Form1 form; // last: its handlers use the controls above
};

} // namespace cronalba
