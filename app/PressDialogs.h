#pragma once

#include <vector>

#include "platform/Platform.h"
#include "press/EditorRuns.h"
#include "press/InitialRes.h"
#include "press/PressStop.h"
#include "press/VersionLoad.h"

namespace quillmark {

// Shows why the press stops, in the window's own message box.
void ShowStop(Platform& platform, const PressStop& stop);
// After the merge runs began: with what the editor logged of each.
void ShowStop(Platform& platform, const PressStop& stop, const std::vector<RunLog>& logs);
// After the edit began: with how initial.res was put back.
void ShowStop(Platform& platform, const PressStop& stop, const InitialResPutBack& putBack);

// Warns over the visible window when initial.res cannot serve a press.
void ShowInitialResProblem(Platform& platform, const InitialResProblem& problem);

// Tells what happened on the way: a restored original with an information
// mark, anything else as a warning.
void ShowNotice(Platform& platform, const PressNotice& notice);

// Asks a Yes/No question with a warning mark; true when the answer is Yes.
// Questions that would go ahead with a risky target, and the restore asked
// for by hand, default to No.
bool Ask(Platform& platform, const PressQuestion& question);
bool Ask(Platform& platform, const PressQuestion& question, const std::vector<RunLog>& logs);

// Asks whether a chosen file's values replace the fields; No by default,
// so that Enter keeps what was typed.
bool AskLoad(Platform& platform, const std::wstring& path, const VersionLoad& load);
// After a load without question: what could not be entered, if anything.
void ShowLoadNotice(Platform& platform, const std::wstring& path, const VersionLoad& load);
void ShowNothingToLoad(Platform& platform, const NothingToLoad& nothing);

}  // namespace quillmark
