#pragma once

// The message box and the program's end, through the Windows API.

#include "services.h"

namespace cronalba::windows {

// MessageBoxW over the active window: OK only, with a warning sign when asked.
class WindowsMessageDialog final : public MessageDialog {
public:
    void show(TextView text, TextView title, MessageIcon icon) override;
};

// Ends the process on the spot with its exit status: no window is unloaded.
class WindowsProgramEnd final : public ProgramEnd {
public:
    [[noreturn]] void endNow(int exitStatus) override;
};

} // namespace cronalba::windows
