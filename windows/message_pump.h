#pragma once

// The program's one message loop, which also waits on the serial port, so that received bytes
// reach the window as soon as they come, without a timer. It runs for the program's life, and
// again, nested, while the window waits for another process: the window keeps reading the port
// and painting meanwhile.

#include "comm_control.h"
#include "form1_window.h"

#include <windows.h>

#include <optional>

namespace cronalba::windows {

class MessagePump {
public:
    explicit MessagePump(WindowsCommControl &port)
        : comNMEA(port) {}

    // The window whose dialog keys (Tab, Enter, the arrows) the pump hands to it.
    void setDialog(Form1Window &window) { dialog = &window; }

    // Until WM_QUIT: its exit status.
    int run();
    // Until object is signalled; false when WM_QUIT came first, which is posted again for run().
    bool runUntil(HANDLE object);

private:
    // Until WM_QUIT, whose exit status it gives, or until object (if any) is signalled.
    std::optional<int> dispatchUntil(HANDLE object);

    WindowsCommControl &comNMEA;
    Form1Window *dialog = nullptr;
};

} // namespace cronalba::windows
