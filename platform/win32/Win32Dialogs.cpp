#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <optional>
#include <string>

#include <objbase.h>

#include "platform/win32/OpResults.h"
#include "platform/win32/SystemText.h"

namespace quillmark::win32 {

namespace {

#if defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOW) == 112, "the shell's execution record as 64-bit Windows defines it");
#else
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the shell's execution record as 32-bit Windows defines it");
#endif

constexpr std::size_t kOpenDialogFileLength = 32768;

}  // namespace

std::wstring OpenDialogFilter(const std::wstring& barSeparated) {
    std::wstring filter = barSeparated;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

std::optional<std::wstring> Win32Platform::ShowOpenDialog(const OpenDialogRequest& request) {
    if (openDialogFile_.empty()) openDialogFile_.assign(kOpenDialogFileLength, L'\0');
    const std::wstring filter = OpenDialogFilter(request.filter);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window_.Handle();
    dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(std::max(request.filterIndex, 0));
    dialog.lpstrFile = openDialogFile_.data();
    dialog.nMaxFile = static_cast<DWORD>(openDialogFile_.size());
    dialog.Flags = (request.hideReadOnly ? OFN_HIDEREADONLY : 0) | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::wstring(openDialogFile_.data());
}

UINT MessageBoxStyle(Severity severity, Buttons buttons, DefaultAnswer byDefault) {
    const UINT icon = severity == Severity::Information ? MB_ICONINFORMATION
                      : severity == Severity::Warning   ? MB_ICONEXCLAMATION
                                                        : 0;
    const UINT shown = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
    const UINT preset = byDefault == DefaultAnswer::No ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
    return shown | icon | preset;
}

Answer Win32Platform::MessageBox(const std::wstring& text, const std::wstring& title, Severity severity,
                                 Buttons buttons, DefaultAnswer byDefault) {
    const int pressed =
        MessageBoxW(window_.Handle(), text.c_str(), title.c_str(), MessageBoxStyle(severity, buttons, byDefault));
    // The box enables its owner again as it closes; a press that goes on
    // after the answer (the delete runs, the restore) keeps the window
    // closed to input.
    if (window_.Busy()) EnableWindow(window_.Handle(), FALSE);
    switch (pressed) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        default:
            return Answer::Ok;
    }
}

void Win32Platform::ShowPropertiesSheet(const std::wstring& path) {
    // The shell's property sheet handlers need a single-threaded apartment;
    // it lasts until the program ends.
    if (!comStarted_) {
        comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    RunShellRecord(PropertiesSheetRecord(window_.Handle(), path));
}

SHELLEXECUTEINFOW PropertiesSheetRecord(HWND owner, const std::wstring& path) {
    SHELLEXECUTEINFOW record{};
    record.cbSize = sizeof(record);
    record.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    record.hwnd = owner;
    record.lpVerb = L"properties";
    record.lpFile = path.c_str();
    record.lpParameters = L"";
    record.lpDirectory = L"";
    record.nShow = 0;
    return record;
}

void RunShellRecord(SHELLEXECUTEINFOW record) {
    ShellExecuteExW(&record);
    if (record.hProcess != nullptr) CloseHandle(record.hProcess);
}

}  // namespace quillmark::win32
