// Cronalba on Windows: one window on one thread. With an argument, the program is instead the
// elevated copy that makes one change of the clock for the window (elevated_change.h).
#include "comm_control.h"
#include "elevated_change.h"
#include "form1_window.h"
#include "message_pump.h"
#include "newer_windows.h"
#include "system_services.h"
#include "windows_clock.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    cronalba::windows::loadDllsFromSystemFolder();
    if (const auto arguments = cronalba::windows::commandLineArguments(); !arguments.empty()) {
        return static_cast<int>(cronalba::windows::makeElevatedChange(arguments));
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for the screen readers' names
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    cronalba::windows::WindowsCommControl comNMEA;
    cronalba::windows::MessagePump pump(comNMEA);
    cronalba::windows::WindowsClock clock([&pump](const std::wstring &argument) {
        return cronalba::windows::runElevated(argument, pump);
    });
    cronalba::windows::WindowsMessageDialog messages;
    cronalba::windows::WindowsProgramEnd programEnd;

    cronalba::windows::Form1Window form(instance, {comNMEA, clock, messages, programEnd});
    messages.setOwner(form.handle());
    pump.setDialog(form);
    form.show(showCommand);
    const int status = pump.run();
    CoUninitialize();
    return status;
}
