#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/OpResult.h"
#include "verify/VersionValues.h"

namespace quillmark {

// Part of a file: the bytes read (fewer than asked at its end) and the size
// of the whole file.
struct FileRead {
    OpResult status;
    std::uint64_t fileSize = 0;
    std::vector<std::uint8_t> bytes;
};

// What to read of a version resource: one string table, some of its keys.
struct VersionQuery {
    std::wstring stringTable;
    std::vector<std::wstring> keys;
};

struct LanguageVersion {
    std::uint16_t language = 0;
    verify::VersionValues values;
};

// A file's version resource as Windows' version API reads it: every
// language the file holds, and the one Windows picks for this user (what
// Explorer and installers show).
struct VersionReadBack {
    OpResult loaded;
    std::vector<LanguageVersion> languages;
    verify::VersionValues shown;
};

// How the replacement of one file by another in its folder ended.
struct ReplaceOutcome {
    enum class Kind {
        Replaced,      // the replaced file's name holds the replacement, identity kept
        Unchanged,     // both files are as they were
        ReplacedGone,  // no file has the replaced name now; the replacement still has its own
    };
    Kind kind = Kind::Replaced;
    std::wstring error;  // the system's, unless Replaced
};

// The version block Windows' GetFileVersionInfoW gives this user, as
// bytes: empty when the file has no version resource.
struct VersionBlockRead {
    OpResult status;
    std::vector<std::uint8_t> block;
};

// When a file was last written (100 ns ticks) and how long it is: enough
// to tell that a program rewrote it.
struct FileStamp {
    std::uint64_t lastWrite = 0;
    std::uint64_t size = 0;

    bool operator==(const FileStamp&) const = default;
};

// What a path names.
enum class PathKind { Missing, File, Folder };

// A path made whole (full, in its long form where it exists) and what it
// names.
struct WholePath {
    std::wstring path;
    PathKind kind = PathKind::Missing;
};

// A moment in the user's local time, to the minute.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// Files and folders.
struct Files {
    virtual ~Files() = default;

    // Directory search for a file pattern, normal files only: the name part
    // of the first match, or an empty string (also when the search fails).
    virtual std::wstring FindFirstNormalFile(const std::wstring& pattern) = 0;

    // The short (8.3) form of an existing path; nothing when the system has
    // none.
    virtual std::optional<std::wstring> ShortPathName(const std::wstring& path) = 0;

    // A path as given (relative, 8.3) made whole against the current folder.
    virtual WholePath MakeWholePath(const std::wstring& path) = 0;
    // When the file was last written; nothing when it cannot be read.
    virtual std::optional<LocalTime> LastWriteTime(const std::wstring& path) = 0;

    // Copies a file, replacing an existing destination.
    virtual OpResult CopyFileReplacing(const std::wstring& source, const std::wstring& destination) = 0;
    // Puts `replacement` in the place of `replaced` (same folder), which
    // keeps its security, streams and other identity, written through to the
    // disk before it returns.
    virtual ReplaceOutcome ReplaceFileKeepingIdentity(const std::wstring& replacement,
                                                      const std::wstring& replaced) = 0;
    virtual OpResult RemoveFile(const std::wstring& path) = 0;
    // Writes a whole file; one of that name is replaced only once every
    // byte is on the disk, so a failure leaves it as it was.
    virtual OpResult WriteWholeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) = 0;
    // Nothing when there is no such file.
    virtual std::optional<FileStamp> StampOf(const std::wstring& path) = 0;

    // Up to `maxLength` bytes of a file from `offset`. The bytes go into
    // `storage`'s memory, so that a long compare reads into one buffer
    // instead of fresh pages for every slice.
    virtual FileRead ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t maxLength,
                                   std::vector<std::uint8_t> storage = {}) = 0;
    // Opens the file for writing and closes it at once; nothing is written.
    virtual OpResult ProbeWrite(const std::wstring& path) = 0;
    virtual VersionReadBack ReadVersionBack(const std::wstring& path, const VersionQuery& query) = 0;
    // The block Windows picks by the user's display language, the one the
    // Properties sheet shows.
    virtual VersionBlockRead ReadShownVersionBlock(const std::wstring& path) = 0;
};

}  // namespace quillmark
