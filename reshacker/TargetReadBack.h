#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "reshacker/TargetPrecheck.h"
#include "verify/ScriptExpectation.h"

namespace quillmark {

// What a press did, for the read-back after its merge runs.
struct PressRecord {
    std::wstring targetPath;
    std::wstring backupPath;
    TargetBefore before;
    verify::ExpectedVersion expected;
    std::uint16_t language = 0;  // of the version resource in initial.res
    std::wstring runEnded;       // a merge run that was ended: what happened
};

// Reads the target back as Windows does. Silent when it holds what the
// press wrote and nothing else; when something differs it says what and
// offers to put the backup back; a version resource left in another
// language is warned about. After a run that had to be ended, it always
// says what the target holds.
void CheckTargetAfterPress(Platform& platform, const PressRecord& press);

}  // namespace quillmark
