#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/Platform.h"
#include "press/PressStop.h"
#include "verify/ScriptExpectation.h"

namespace quillmark {

// What the editor saved in initial.res.
struct EditedResource {
    std::uint16_t language = 0;
};

// After the editor has closed, before the backup: initial.res must hold the
// script's values.
std::variant<EditedResource, PressStop> CheckEditedResource(Platform& platform, const std::wstring& resPath,
                                                            const verify::ExpectedVersion& expected);

}  // namespace quillmark
