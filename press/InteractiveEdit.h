#pragma once

#include <string>

#include "platform/Platform.h"
#include "press/PressPaths.h"
#include "press/RunSteps.h"

namespace quillmark {

// Puts the script on the clipboard, opens initial.res in the editor and
// types the key sequence that replaces, compiles and saves the version
// script, then waits for the editor to close. False when the press had to
// stop; the reason has been shown.
bool RunInteractiveEdit(Platform& platform, const std::wstring& filledScript, const PressPaths& paths,
                        const WaitLimits& limits);

}  // namespace quillmark
