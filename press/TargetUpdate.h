#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "press/PressPaths.h"
#include "press/RunSteps.h"

namespace quillmark {

// Why a target path cannot go to the editor's command line; checked before
// anything is touched.
std::optional<std::wstring> TargetPathProblem(const std::wstring& targetPath);

// How the update went, for the read-back after it.
struct UpdateOutcome {
    enum class Kind {
        Merged,    // both runs ended by themselves
        RunEnded,  // a run outlived its bound and was ended: the target may be half made
        Stopped,   // stopped before it could be read back; the reason has been shown
    };
    Kind kind = Kind::Merged;
    std::wstring runEnded;  // with RunEnded: what happened and what was not done
};

// Backs the target up beside itself and merges initial.res into it with the
// "-addskip " run followed by the "-modify " run, each waited for.
UpdateOutcome RunTargetUpdate(Platform& platform, const PressPaths& paths, const WaitLimits& limits);

}  // namespace quillmark
