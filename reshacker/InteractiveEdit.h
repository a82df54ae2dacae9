#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "reshacker/RunSteps.h"

namespace quillmark {

// The two quoted paths that the merge runs use again.
struct EditorPaths {
    std::wstring quotedEditorPath;
    std::wstring quotedResourcePath;
};

// Puts the script on the clipboard, opens initial.res in the editor and
// types the key sequence that replaces, compiles and saves the version
// script, then waits for the editor to close. Nothing when the press had to
// stop; the reason has been shown.
std::optional<EditorPaths> RunInteractiveEdit(Platform& platform, const std::wstring& filledScript,
                                              const std::wstring& editorPath, const std::wstring& programFolder,
                                              const WaitLimits& limits);

}  // namespace quillmark
