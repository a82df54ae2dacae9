#pragma once

#include <cstddef>
#include <string>

#include "platform/Files.h"

namespace quillmark {

constexpr std::size_t kAnyNameLength = 1;

// Whether the search finds a normal file whose name has at least
// `minNameLength` characters. Some of the window's checks ask for 2 or 3
// (named where they are used): what they enable, say or restore depends on
// it.
inline bool NormalFileFound(Files& files, const std::wstring& pattern, std::size_t minNameLength = kAnyNameLength) {
    return files.FindFirstNormalFile(pattern).size() >= minNameLength;
}

}  // namespace quillmark
