#pragma once

#include <array>
#include <string>

#include "script/VersionNumbers.h"

namespace quillmark {

// What the filling reads from the window: the caption of lblInfo and, for
// the string fields, the text of txtInfo, by field index (the texts of the
// two version fields are not used).
struct FieldValues {
    std::array<std::wstring, 10> captions;
    std::array<std::wstring, 10> texts;
};

// Whether a value holds a `"` or `\`, which the editor's script compiler
// reads as the end of a string or an escape: typed as they stand, they
// do not come out as typed.
bool HoldsScriptSpecial(const std::wstring& value);

// The template with its placeholders replaced one by one, field 0 to 9,
// each step working on what the previous steps left.
std::wstring FillVersionScript(const std::wstring& versionScriptTemplate, const FieldValues& fields,
                               const VersionTable& versions);

}  // namespace quillmark
