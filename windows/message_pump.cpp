#include "message_pump.h"

#include <array>

namespace cronalba::windows {

int MessagePump::run() {
    return dispatchUntil(nullptr).value_or(0);
}

bool MessagePump::runUntil(HANDLE object) {
    const std::optional<int> quit = dispatchUntil(object);
    if (quit) {
        PostQuitMessage(*quit);
    }
    return !quit;
}

std::optional<int> MessagePump::dispatchUntil(HANDLE object) {
    for (;;) {
        const std::array<HANDLE, 2> events{comNMEA.notificationEvent(), object};
        const DWORD count = object ? 2 : 1;
        const DWORD woken = MsgWaitForMultipleObjectsEx(count, events.data(), INFINITE, QS_ALLINPUT,
                                                        MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) {
            comNMEA.onNotified();
            continue;
        }
        if (object && woken == WAIT_OBJECT_0 + 1) {
            return std::nullopt;
        }
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            if (!dialog || !dialog->handleDialogKey(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
}

} // namespace cronalba::windows
