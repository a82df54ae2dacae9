#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "press/EditorRuns.h"
#include "press/PressPaths.h"
#include "press/PressStop.h"

namespace quillmark {

// Puts the script on the clipboard, opens initial.res in the editor and
// types the key sequence that replaces, compiles and saves the version
// script, then waits for the editor to close. The stop when the press
// cannot go on.
std::optional<PressStop> RunInteractiveEdit(Platform& platform, const std::wstring& filledScript,
                                            const PressPaths& paths, const WaitLimits& limits);

}  // namespace quillmark
