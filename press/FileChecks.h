#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"
#include "verify/PeImage.h"
#include "verify/PeResources.h"
#include "verify/ResFile.h"
#include "verify/Sha256.h"

namespace quillmark {

// A read that failed, with the system's reason; or a whole-file read of a
// file past its limit, with the file's length.
struct ReadFailure {
    std::wstring error;
    std::uint64_t tooLarge = 0;
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

// The digest of a whole file, read a slice at a time; nothing when it
// cannot be read.
std::optional<verify::Sha256::Digest> FileDigest(Platform& platform, const std::wstring& path);

using ResourceItemsReading =
    std::variant<std::vector<verify::ResItem>, verify::NotAProgram, verify::ResourceFault, ReadFailure>;

// Every resource item of a program, its data as ranges of the file. Reads
// the headers and the resource directory's tables, never the items' data.
ResourceItemsReading ReadResourceItems(Platform& platform, const std::wstring& path);

enum class ResourceChangeKind { Missing, Changed, Added };

// An item that is not as it was, by type, name and language.
struct ResourceChange {
    verify::ResName type;
    verify::ResName name;
    std::uint16_t language = 0;
    ResourceChangeKind kind = ResourceChangeKind::Changed;

    bool operator==(const ResourceChange&) const = default;
};

// One of the two files could not be read as a program with resources.
struct ResourceReadStop {
    std::wstring path;
    std::variant<verify::NotAProgram, verify::ResourceFault, ReadFailure> reason;
};

using ResourceComparison = std::variant<std::vector<ResourceChange>, ResourceReadStop>;

// Whether every item of `pathBefore` is still in `pathNow` with the same
// bytes, and nothing was added, leaving out the items `ignore` names (the
// caller's own version resource). The items of `pathBefore` in its tree's
// order (missing or changed), then those added, in the order of `pathNow`.
ResourceComparison ResourceChanges(Platform& platform, const std::wstring& pathNow, const std::wstring& pathBefore,
                                   const std::function<bool(const verify::ResItem&)>& ignore);

}  // namespace quillmark
