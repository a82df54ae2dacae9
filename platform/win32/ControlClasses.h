#pragma once

#include "platform/win32/WindowsApi.h"
#include "ui/ControlTable.h"

namespace quillmark::win32 {

// The window class and styles each kind of control is created with.
struct ControlClass {
    const wchar_t* className;  // nullptr: the kind has no window of its own
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassFor(ControlKind kind);

}  // namespace quillmark::win32
