#include "system_services.h"

#include <windows.h>

#include <string>

namespace cronalba::windows {

namespace {

int messageBox(HWND owner, TextView text, TextView title, UINT type) {
    const std::wstring message(text.begin(), text.end());
    const std::wstring caption(title.begin(), title.end());
    return MessageBoxW(owner, message.c_str(), caption.c_str(), type);
}

} // namespace

void WindowsMessageDialog::show(TextView text, TextView title, MessageIcon icon) {
    const UINT sign = icon == MessageIcon::Warning ? MB_ICONWARNING : 0;
    messageBox(owner, text, title, MB_OK | sign);
}

bool WindowsMessageDialog::ask(TextView text, TextView title) {
    return messageBox(owner, text, title, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void WindowsProgramEnd::endNow(int exitStatus) {
    ExitProcess(static_cast<UINT>(exitStatus));
}

} // namespace cronalba::windows
