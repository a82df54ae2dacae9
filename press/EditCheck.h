#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "verify/ScriptExpectation.h"

namespace quillmark {

// What the editor saved in initial.res.
struct EditedResource {
    std::uint16_t language = 0;
};

// After the editor has closed, before the backup: initial.res must hold the
// script's values. Nothing when it does not; the reason has been shown.
std::optional<EditedResource> CheckEditedResource(Platform& platform, const std::wstring& resPath,
                                                  const verify::ExpectedVersion& expected);

}  // namespace quillmark
