#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "verify/PeImage.h"

namespace quillmark {

// The target as it was before the press: what the read-back compares with.
struct TargetBefore {
    verify::PeFacts facts;
    std::vector<verify::ByteRange> appended;
};

// Before anything is touched: the target must be a Windows program that can
// be written now; a signed target and one with appended data go ahead only
// when the user says so. Nothing when the press stops; the reason has been
// shown, or the user said no.
std::optional<TargetBefore> CheckTargetBeforePress(Platform& platform, const std::wstring& targetPath);

}  // namespace quillmark
