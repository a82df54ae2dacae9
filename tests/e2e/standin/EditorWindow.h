#pragma once

#include <string>

#include "Faults.h"
#include "Log.h"

namespace standin {

// Opens the resource file in a window of real controls (a tree of
// type/name/language, a script edit box, a compile button, a menu bar) and
// runs its message loop until the window closes. Returns the exit code.
// With the no-save fault the save command only logs "save-skipped"; with
// ansi, Ctrl+V in the edit box pastes CF_TEXT read in the ANSI code page.
int RunEditor(const std::wstring& resPath, int showCommand, const Faults& faults, const Log& log);

}  // namespace standin
