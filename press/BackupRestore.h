#pragma once

#include <string>
#include <variant>

#include "platform/Platform.h"
#include "press/PressStop.h"

namespace quillmark {

// Puts the backup back in the target's place: a copy of the backup beside
// the target replaces it, so that the backup stays and the target keeps its
// security and streams; then the target must be byte for byte the backup.
// A target that cannot be written now (running, read-only) is refused
// before anything is touched.
std::variant<PressNotice, PressStop> RestoreOriginal(Platform& platform, const std::wstring& targetPath,
                                                     const std::wstring& backupPath);

}  // namespace quillmark
