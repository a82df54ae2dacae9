#pragma once

#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"
#include "press/PressStop.h"
#include "verify/PeImage.h"

namespace quillmark {

// The target as it was before the press: what the read-back compares with.
struct TargetBefore {
    verify::PeFacts facts;
    std::vector<verify::ByteRange> appended;
};

// Before anything is touched: the target must be a Windows program that can
// be written now.
std::variant<TargetBefore, PressStop> CheckTargetBeforePress(Platform& platform, const std::wstring& targetPath);

// What the user must agree to first, in turn: a signed target, appended
// data.
std::vector<PressQuestion> QuestionsBeforePress(const std::wstring& targetPath, const TargetBefore& before);

}  // namespace quillmark
