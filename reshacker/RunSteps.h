#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace quillmark {

// How long a press waits for the editor before it gives up.
struct WaitLimits {
    int readyMs = 30000;
    int exitMs = 60000;
};

inline constexpr int kMessageStyleExclamation = 48;
inline constexpr int kMessageStyleInformation = 64;

enum class DefaultAnswer { Yes, No };

// The text followed by the system's reason on a line of its own, if it gave one.
std::wstring WithSystemReason(const std::wstring& text, const std::wstring& error);

// Stops the press: the reason in the window's own message box.
void ReportStop(Platform& platform, const std::wstring& text);

// A Yes/No question in the window's own message box, with an exclamation
// mark; true when the answer is Yes.
bool AskYesNo(Platform& platform, const std::wstring& text, DefaultAnswer defaultAnswer);

// Waits for a started process to end and lets go of it; on a time-out or a
// failed wait the press stops with `whatDidNotHappen` in the message.
bool WaitForEditorExit(Platform& platform, std::uintptr_t process, const WaitLimits& limits,
                       const std::wstring& whichRun, const std::wstring& whatDidNotHappen);

}  // namespace quillmark
