#pragma once

#include "services.h"

namespace cronalba {

// The message box of the window toolkit, modal over the active window.
class QtMessageDialog final : public MessageDialog {
public:
    void show(TextView text, TextView title, MessageIcon icon) override;
};

} // namespace cronalba
