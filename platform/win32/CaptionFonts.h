#pragma once

#include "platform/win32/WindowsApi.h"

#include <string>

#include "ui/CaptionFit.h"
#include "ui/ControlTable.h"
#include "ui/WindowFonts.h"

namespace quillmark::win32 {

bool FontFamilyInstalled(const wchar_t* face);

// The font asked for at a DPI: its face where installed, else its fallback
// from the system's message font at that DPI.
LOGFONTW RequestedFont(const FontRequest& request, UINT dpi);

// Where a control of that kind draws its text: the client area less the
// button's edge and text margins or the text box's margins.
TextExtent TextAreaOf(HWND control, ControlKind kind);

// The text's extent in the font as the control draws it: labels wrap at
// the area's width, every other kind keeps to one line.
TextExtent CaptionExtent(HWND control, ControlKind kind, const std::wstring& text, const LOGFONTW& font, int areaWidth);

// `base`, or the largest smaller size of it at which the control's own
// text fits its text area.
LOGFONTW FittedFont(HWND control, ControlKind kind, const std::wstring& text, const LOGFONTW& base, UINT dpi);

}  // namespace quillmark::win32
