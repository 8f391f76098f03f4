// Cronalba on Windows: one window on one thread. The message loop also waits on the serial
// port, so that received bytes reach the window as soon as they come, without a timer.
#include "comm_control.h"
#include "form1_window.h"
#include "system_services.h"
#include "windows_clock.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

int runMessageLoop(cronalba::windows::Form1Window &window,
                   cronalba::windows::WindowsCommControl &comNMEA) {
    for (;;) {
        HANDLE received = comNMEA.notificationEvent();
        if (MsgWaitForMultipleObjectsEx(1, &received, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
            WAIT_OBJECT_0) {
            comNMEA.onNotified();
            continue;
        }
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            if (!window.handleDialogKey(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for the screen readers' names
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    cronalba::windows::WindowsCommControl comNMEA;
    cronalba::windows::WindowsClock clock;
    cronalba::windows::WindowsMessageDialog messages;
    cronalba::windows::WindowsProgramEnd programEnd;

    cronalba::windows::Form1Window form(instance, {comNMEA, clock, messages, programEnd});
    messages.setOwner(form.handle());
    form.show(showCommand);
    const int status = runMessageLoop(form, comNMEA);
    CoUninitialize();
    return status;
}
