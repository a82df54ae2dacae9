#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"
#include "press/PressStop.h"
#include "verify/VersionResFile.h"

namespace quillmark {

// initial.res holds one small resource; anything this large is not it.
inline constexpr std::uint64_t kLargestResourceFile = 16 * 1024 * 1024;

// What is wrong with initial.res when the program starts.
struct InitialResProblem {
    enum class Kind { Missing, Unreadable, Broken };
    Kind kind = Kind::Missing;
    std::wstring path;
    ReadFailure reason;                                                   // the system's, when Unreadable
    verify::ResFileFault fault = verify::ResFileFault::NotAResourceFile;  // when Broken
};

// initial.res beside the program: there, readable, and holding a version
// resource the reader accepts. Nothing when it is.
std::optional<InitialResProblem> CheckInitialRes(Platform& platform, const std::wstring& programFolderPath);

// initial.res as it was before the keyed edit: its bytes, or nothing when
// there was none.
struct InitialResBefore {
    std::wstring path;
    std::optional<std::vector<std::uint8_t>> bytes;
};

// Keeps initial.res's bytes before the editor may save over them; the stop
// when it is there but cannot be read.
std::variant<InitialResBefore, PressStop> KeepInitialRes(Platform& platform, const std::wstring& path);

// Puts initial.res back as it was before the edit, once the editor has
// ended: a compile that dropped the resource, or keys that went astray,
// must not break every later press.
InitialResPutBack PutInitialResBack(Platform& platform, const InitialResBefore& before);

}  // namespace quillmark
