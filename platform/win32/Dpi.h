#pragma once

#include "platform/win32/WindowsApi.h"

namespace quillmark::win32 {

// The per-monitor DPI calls exist from Windows 10 1607 on; before that the
// system DPI stands in for them.
UINT WindowDpi(HWND window);
RECT WindowRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);
LOGFONTW MessageFontForDpi(UINT dpi);

inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

}  // namespace quillmark::win32
