#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"
#include "press/EditorLog.h"
#include "press/EditorRuns.h"
#include "press/PressPaths.h"
#include "press/PressStop.h"
#include "press/TargetReadBack.h"

namespace quillmark {

// How the removal went, and the work files to remove once the user has
// seen that.
struct Cleanup {
    std::variant<std::monostate, RestoreOffer, PressStop> outcome;
    std::vector<std::wstring> workFiles;
};

// Has the editor write the target without each leftover version resource,
// one hidden run a language, into work files beside the target; the last
// takes the target's place only once it is read back right, and the target
// is read again after. When a step fails, the target is compared with what
// the merge left: the restore is offered only when it changed and reads
// wrong. A run fails when it does not exit 0 or logs an error; what each
// run logged goes into `logs`.
Cleanup RemoveLeftoverVersions(Platform& platform, const PressRecord& press, const LeftoverVersions& left,
                               const PressPaths& paths, const WaitLimits& limits, EditorLogs& logs);

// Removes a work file if a run wrote it; what to say when it stays.
std::optional<PressNotice> RemoveWorkFile(Platform& platform, const std::wstring& path);

}  // namespace quillmark
