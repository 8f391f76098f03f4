#pragma once

#include "message_dialog.h"

namespace cronalba {

// The message box of the window toolkit, modal over the active window.
class QtMessageDialog final : public MessageDialog {
public:
    void show(const QString &text, const QString &title, MessageIcon icon) override;
};

} // namespace cronalba
