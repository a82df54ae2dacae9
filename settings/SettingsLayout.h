#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace quillmark {

// Beside the program: the resource file the editor fills, then merges.
inline constexpr const wchar_t* kInitialResName = L"initial.res";

inline constexpr const wchar_t* kFilesSection = L"Files";
inline constexpr const wchar_t* kResHackerKey = L"ResHacker";
inline constexpr const wchar_t* kLastExeFileKey = L"LastExeFile";
inline constexpr const wchar_t* kVerInfoSection = L"VerInfo";
inline constexpr const wchar_t* kDefaultPackedVersion = L"01000000";

// Shown in a path box that holds no usable path.
inline constexpr const wchar_t* kPathPlaceholder = L"(【参照】で指定してください。)";

// "Info0" to "Info9".
std::wstring VerInfoKey(int fieldIndex);

// The three box texts of one version row, Major, Minor, Rev.
using VersionBoxTexts = std::array<std::wstring, 3>;

// Major × 1000000 + Minor × 10000 + Rev. as at least eight digits; nothing
// when a box does not hold a number.
std::optional<std::wstring> PackVersion(Platform& platform, const VersionBoxTexts& boxes);

// The stored text cut into its first two, next two and last four
// characters, each shown as a plain whole number; 1, 0, 0 when a piece is no
// whole number.
VersionBoxTexts UnpackVersion(Platform& platform, const std::wstring& packed);

}  // namespace quillmark
