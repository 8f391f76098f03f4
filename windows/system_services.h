#pragma once

// The message box and the program's end, through the Windows API.

#include "services.h"

#include <windows.h>

namespace cronalba::windows {

// MessageBoxW owned by the program's window, which it disables while it is open: OK only, with
// a warning sign when asked, or a question with Windows' own Yes and No in the system's language.
class WindowsMessageDialog final : public MessageDialog {
public:
    void setOwner(HWND window) { owner = window; }
    void show(TextView text, TextView title, MessageIcon icon) override;
    bool ask(TextView text, TextView title) override;

private:
    HWND owner = nullptr;
};

// Ends the process on the spot with its exit status: no window is unloaded.
class WindowsProgramEnd final : public ProgramEnd {
public:
    [[noreturn]] void endNow(int exitStatus) override;
};

} // namespace cronalba::windows
