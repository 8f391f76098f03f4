#include "system_services.h"

#include <windows.h>

#include <string>

namespace cronalba::windows {

void WindowsMessageDialog::show(TextView text, TextView title, MessageIcon icon) {
    const std::wstring message(text.begin(), text.end());
    const std::wstring caption(title.begin(), title.end());
    const UINT sign = icon == MessageIcon::Warning ? MB_ICONWARNING : 0;
    MessageBoxW(owner, message.c_str(), caption.c_str(), MB_OK | sign);
}

void WindowsProgramEnd::endNow(int exitStatus) {
    ExitProcess(static_cast<UINT>(exitStatus));
}

} // namespace cronalba::windows
