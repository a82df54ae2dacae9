#pragma once

#include <string>

namespace quillmark {

// The resource script of a VERSIONINFO resource with its twelve
// placeholders: the two version lines and "(" key name ")" for each field.
std::wstring BuildVersionScriptTemplate();

inline constexpr const wchar_t* kFileVersionLinePlaceholder = L"FILEVERSION 1, 0, 0, 0";
inline constexpr const wchar_t* kProductVersionLinePlaceholder = L"PRODUCTVERSION 1, 0, 0, 0";

}  // namespace quillmark
