#include "platform/win32/SystemDlls.h"

#include <bit>

namespace quillmark::win32::dlls {

namespace {

// The flag keeps the program's folder and the current folder out of the
// search, whatever the process-wide default is.
HMODULE LoadFromSystem32(const wchar_t* fileName) {
    return LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE UxTheme() {
    static const HMODULE module = LoadFromSystem32(L"uxtheme.dll");
    return module;
}

HMODULE Version() {
    static const HMODULE module = LoadFromSystem32(L"version.dll");
    return module;
}

// An entry point, typed as the system header declares it; without one, the
// error each call reports.
template <typename Function>
struct EntryPoint {
    Function address = nullptr;
    DWORD missing = ERROR_SUCCESS;
};

template <typename Function>
EntryPoint<Function> Find(HMODULE module, const char* name) {
    if (module == nullptr) return {nullptr, ERROR_MOD_NOT_FOUND};
    const FARPROC address = GetProcAddress(module, name);
    if (address == nullptr) return {nullptr, ERROR_PROC_NOT_FOUND};
    return {std::bit_cast<Function>(address), ERROR_SUCCESS};
}

template <typename Function, typename Result, typename... Arguments>
Result CallOr(const EntryPoint<Function>& entry, Result failure, Arguments... arguments) {
    if (entry.address == nullptr) {
        SetLastError(entry.missing);
        return failure;
    }
    return entry.address(arguments...);
}

}  // namespace

HRESULT SetWindowTheme(HWND window, LPCWSTR subAppName, LPCWSTR subIdList) {
    static const auto entry = Find<decltype(&::SetWindowTheme)>(UxTheme(), "SetWindowTheme");
    return CallOr(entry, HRESULT_FROM_WIN32(entry.missing), window, subAppName, subIdList);
}

HTHEME GetWindowTheme(HWND window) {
    static const auto entry = Find<decltype(&::GetWindowTheme)>(UxTheme(), "GetWindowTheme");
    return CallOr(entry, HTHEME{nullptr}, window);
}

DWORD GetFileVersionInfoSizeExW(DWORD flags, LPCWSTR file, LPDWORD handle) {
    static const auto entry = Find<decltype(&::GetFileVersionInfoSizeExW)>(Version(), "GetFileVersionInfoSizeExW");
    return CallOr(entry, DWORD{0}, flags, file, handle);
}

BOOL GetFileVersionInfoExW(DWORD flags, LPCWSTR file, DWORD handle, DWORD length, LPVOID data) {
    static const auto entry = Find<decltype(&::GetFileVersionInfoExW)>(Version(), "GetFileVersionInfoExW");
    return CallOr(entry, BOOL{FALSE}, flags, file, handle, length, data);
}

}  // namespace quillmark::win32::dlls
