#pragma once

#include "services.h"

namespace cronalba {

// The message boxes of the window toolkit, modal over the active window.
class QtMessageDialog final : public MessageDialog {
public:
    void show(TextView text, TextView title, MessageIcon icon) override;
    bool ask(TextView text, TextView title) override;
};

} // namespace cronalba
