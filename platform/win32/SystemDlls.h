#pragma once

// The system DLLs that are not KnownDLLs. Windows would look for those in
// the program's own folder first, so each is loaded from system32 on its
// first use and kept for the life of the process. When the DLL or the entry
// point is missing, a function returns its API's failure value and sets the
// last error to ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND.
//
// The system headers declare global functions of the same names: call these
// qualified, as dlls::GetFileVersionInfoExW(...).

#include "platform/win32/WindowsApi.h"

#include <uxtheme.h>
#include <winver.h>

namespace quillmark::win32::dlls {

// uxtheme.dll. Without it: HRESULT_FROM_WIN32 of the error, and nullptr.
HRESULT SetWindowTheme(HWND window, LPCWSTR subAppName, LPCWSTR subIdList);
HTHEME GetWindowTheme(HWND window);

// version.dll. Without it: 0 and FALSE.
DWORD GetFileVersionInfoSizeExW(DWORD flags, LPCWSTR file, LPDWORD handle);
BOOL GetFileVersionInfoExW(DWORD flags, LPCWSTR file, DWORD handle, DWORD length, LPVOID data);

}  // namespace quillmark::win32::dlls
