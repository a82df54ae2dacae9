#include "platform/win32/Win32Platform.h"

#include <cstring>
#include <string>

#include "platform/win32/OpResults.h"
#include "platform/win32/SystemText.h"

namespace quillmark::win32 {

OpResult Win32Platform::ClipboardEmpty() {
    if (!OpenClipboard(window_.Handle())) return Failed(GetLastError());
    const BOOL emptied = EmptyClipboard();
    const DWORD error = GetLastError();
    CloseClipboard();
    return emptied ? Succeeded() : Failed(error);
}

OpResult Win32Platform::ClipboardSetText(const std::wstring& text) {
    // An editor built for the ANSI code page takes CF_TEXT. Left to the
    // system, it is converted through the code page of the keyboard layout
    // in use; given here, it is in the system's code page, and CF_LOCALE
    // says so.
    const int ansiLength = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(std::max(ansiLength, 1)), '\0');
    if (ansiLength > 0) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), ansiLength, nullptr, nullptr);
    const LCID locale = GetUserDefaultLCID();

    const std::pair<UINT, std::pair<const void*, std::size_t>> formats[] = {
        {CF_UNICODETEXT, {text.c_str(), (text.size() + 1) * sizeof(wchar_t)}},
        {CF_TEXT, {ansi.data(), ansi.size()}},
        {CF_LOCALE, {&locale, sizeof(locale)}},
    };
    if (!OpenClipboard(window_.Handle())) return Failed(GetLastError());
    for (const auto& [format, content] : formats) {
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, content.second);
        void* data = memory != nullptr ? GlobalLock(memory) : nullptr;
        if (data == nullptr) {
            const DWORD error = GetLastError();
            if (memory != nullptr) GlobalFree(memory);
            CloseClipboard();
            return Failed(error);
        }
        std::memcpy(data, content.first, content.second);
        GlobalUnlock(memory);
        if (SetClipboardData(format, memory) == nullptr) {
            const DWORD error = GetLastError();
            GlobalFree(memory);
            CloseClipboard();
            return Failed(error);
        }
        // The clipboard owns the memory now.
    }
    CloseClipboard();
    return Succeeded();
}

}  // namespace quillmark::win32
