#pragma once

// The Windows headers for the Win32 side. Include this before anything
// else: it removes the A/W macros whose names collide with Platform's
// operations (MessageBox, ShellExecuteEx, ...), so that Platform.h reads
// the same in every file.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <oleauto.h>
#include <shellapi.h>

#undef MessageBox
#undef ShellExecuteEx
#undef GetProfileString
#undef WriteProfileString
