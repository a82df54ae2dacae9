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

// The text followed by the system's reason on a line of its own, if it gave one.
std::wstring WithSystemReason(const std::wstring& text, const std::wstring& error);

// Stops the press: the reason in the window's own message box.
void ReportStop(Platform& platform, const std::wstring& text);

// A Yes/No question in the window's own message box, with an exclamation
// mark; true when the answer is Yes.
bool AskYesNo(Platform& platform, const std::wstring& text, DefaultAnswer defaultAnswer);

// How the wait for one editor run ended. No run of ours is left running
// unseen: one that outlives its bound is ended first.
struct RunEnd {
    enum class Kind { Exited, EndedByUs, StillRunning };
    Kind kind = Kind::Exited;
    std::wstring what;  // what happened, for the message; empty when it exited

    bool Exited() const { return kind == Kind::Exited; }
};

// Waits for a started process to end, ends it when it does not within the
// bound (or the wait fails), and lets go of it.
RunEnd AwaitEditorRun(Platform& platform, std::uintptr_t process, int timeoutMs, const std::wstring& whichRun);

// Ends a started run that the press gives up on before it has finished,
// and lets go of it; `whyGivenUp` is what happened, "..." without the end.
RunEnd GiveUpEditorRun(Platform& platform, std::uintptr_t process, const std::wstring& whyGivenUp);

// The stop after a run that did not exit: what happened, what was not done.
void ReportRunEnd(Platform& platform, const RunEnd& end, const std::wstring& whatDidNotHappen);

}  // namespace quillmark
