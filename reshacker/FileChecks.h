#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"
#include "verify/PeImage.h"

namespace quillmark {

// A read that failed, with the system's reason.
struct ReadFailure {
    std::wstring error;
};

using PeFileReading = std::variant<verify::PeFacts, verify::NotAProgram, ReadFailure>;

// The PE facts of a file: its first bytes, and more when its headers go on.
PeFileReading ReadPeFile(Platform& platform, const std::wstring& path);

// A whole file of at most `limit` bytes (a longer one counts as unreadable).
std::variant<std::vector<std::uint8_t>, ReadFailure> ReadWholeFile(Platform& platform, const std::wstring& path,
                                                                   std::uint64_t limit);

// Whether the ranges of one file hold, one after another, the same bytes as
// the ranges of the other; read a slice at a time, so that a payload of
// many megabytes is never held whole.
std::variant<bool, ReadFailure> SameBytes(Platform& platform, const std::wstring& pathA,
                                          const std::vector<verify::ByteRange>& rangesA, const std::wstring& pathB,
                                          const std::vector<verify::ByteRange>& rangesB);

// Whether two files are byte for byte the same.
std::variant<bool, ReadFailure> SameFiles(Platform& platform, const std::wstring& pathA, const std::wstring& pathB);

}  // namespace quillmark
