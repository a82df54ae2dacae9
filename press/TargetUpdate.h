#pragma once

#include <optional>
#include <variant>

#include "platform/Platform.h"
#include "press/EditorLog.h"
#include "press/EditorRuns.h"
#include "press/PressPaths.h"
#include "press/PressStop.h"

namespace quillmark {

// How the update went, for the read-back after it.
struct UpdateOutcome {
    // A run that outlived its bound and was ended: the target may be half
    // made. Nothing when both runs ended by themselves.
    std::optional<RunEnd> runEnded;
};

// Backs the target up beside itself and merges initial.res into it with the
// "-addskip " run followed by the "-modify " run, each waited for and its
// log read into `logs` before the next run rewrites it. The stop when the
// target cannot be read back.
std::variant<UpdateOutcome, PressStop> RunTargetUpdate(Platform& platform, const PressPaths& paths,
                                                       const WaitLimits& limits, EditorLogs& logs);

}  // namespace quillmark
