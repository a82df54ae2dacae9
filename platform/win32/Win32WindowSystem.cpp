#include "platform/win32/Win32Platform.h"

#include <string>

#include "platform/win32/OpResults.h"
#include "platform/win32/SystemText.h"

namespace quillmark::win32 {

Win32Platform::Win32Platform(MainWindow& window) : window_(window) {}

std::wstring Win32Platform::GetText(const ControlRef& control) {
    const HWND handle = window_.Control(control);
    if (handle == nullptr) return {};
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void Win32Platform::SetText(const ControlRef& control, const std::wstring& text) {
    // A text box reports the change (EN_CHANGE) before this returns.
    if (const HWND handle = window_.Control(control)) SetWindowTextW(handle, text.c_str());
}

void Win32Platform::SetEnabled(const ControlRef& control, bool enabled) {
    if (const HWND handle = window_.Control(control)) EnableWindow(handle, enabled ? TRUE : FALSE);
}

void Win32Platform::ShowMainWindow() { window_.Show(); }

void Win32Platform::SetMenuItemEnabled(const std::wstring& item, bool enabled) {
    window_.SetMenuItemEnabled(item, enabled);
}

// A disabled window takes no clicks or keys, and a message box shown during
// the press leaves it disabled when it closes.
void Win32Platform::BeginBusy() {
    window_.SetBusy(true);
    EnableWindow(window_.Handle(), FALSE);
    // A question just answered leaves the window's activation under way;
    // settled here, it cannot take the focus back from the editor later.
    DispatchWhileWaiting();
}

void Win32Platform::EndBusy() {
    EnableWindow(window_.Handle(), TRUE);
    window_.SetBusy(false);
}

void Win32Platform::BlockSessionEnd(const std::wstring& reason) {
    ShutdownBlockReasonCreate(window_.Handle(), reason.c_str());
}

void Win32Platform::AllowSessionEnd() { ShutdownBlockReasonDestroy(window_.Handle()); }

}  // namespace quillmark::win32
