#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "reshacker/InteractiveEdit.h"
#include "reshacker/RunSteps.h"

namespace quillmark {

// Why a target path cannot go to the editor's command line; checked before
// anything is touched.
std::optional<std::wstring> TargetPathProblem(const std::wstring& targetPath);

// Backs the target up beside itself and merges initial.res into it with the
// "-addskip " run followed by the "-modify " run, each waited for. The
// backup's path once both runs have ended; nothing when the press stopped.
std::optional<std::wstring> RunTargetUpdate(Platform& platform, const std::wstring& targetPath,
                                            const EditorPaths& paths, const WaitLimits& limits);

}  // namespace quillmark
