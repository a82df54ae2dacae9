#pragma once

#include "platform/Platform.h"
#include "press/PressPaths.h"
#include "press/RunSteps.h"
#include "press/TargetReadBack.h"

namespace quillmark {

// Has the editor write the target without each leftover version resource,
// one hidden run a language, into work files beside the target; the last
// takes the target's place only once it is read back right, and the target
// is read again after. No work file is left behind.
void RemoveLeftoverVersions(Platform& platform, const PressRecord& press, const LeftoverVersions& left,
                            const EditorPaths& editor, const WaitLimits& limits);

}  // namespace quillmark
