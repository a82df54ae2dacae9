#pragma once

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/EditorProcess.h"
#include "platform/Files.h"
#include "platform/OpResult.h"
#include "platform/Profile.h"
#include "platform/RunningProgram.h"
#include "platform/WindowSystem.h"

namespace quillmark {

// Every operation the logic needs from the operating system and the window
// system, in the program's terms. The logic never calls the system
// directly; one object serves them all, so that a recording of a press sees
// every call in order.
class Platform : public WindowSystem,
                 public Dialogs,
                 public Files,
                 public Clipboard,
                 public EditorProcess,
                 public Profile,
                 public RunningProgram {
public:
    ~Platform() override = default;
};

}  // namespace quillmark
