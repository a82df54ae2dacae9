#pragma once

#include "platform/Platform.h"
#include "press/PressStop.h"

namespace quillmark {

// Shows why the press stops, in the window's own message box.
void ShowStop(Platform& platform, const PressStop& stop);

// Tells what happened on the way: a restored original with an information
// mark, anything else as a warning.
void ShowNotice(Platform& platform, const PressNotice& notice);

// Asks a Yes/No question with a warning mark; true when the answer is Yes.
// Questions that would go ahead with a risky target default to No.
bool Ask(Platform& platform, const PressQuestion& question);

}  // namespace quillmark
