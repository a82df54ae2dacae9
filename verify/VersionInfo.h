#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "verify/Bytes.h"
#include "verify/VersionValues.h"

namespace quillmark::verify {

struct StringTable {
    std::wstring key;  // language and code page, "041104B0"
    std::vector<std::pair<std::wstring, std::wstring>> strings;
};

// One \VarFileInfo\Translation entry: a language and its code page.
struct Translation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;

    bool operator==(const Translation&) const = default;
};

// A VS_VERSIONINFO block, as a version resource holds it.
struct VersionInfo {
    std::optional<FixedVersions> fixed;
    std::vector<StringTable> stringTables;
    std::vector<Translation> translations;
};

// How a version block is laid out: as 32-bit compilers write it (UTF-16
// keys, a type word), or as 16-bit ones did (ANSI keys, no type word).
enum class VersionLayout { Wide, Ansi16, Unknown };

// Told from the word at offset 4: the type word (0 or 1) of a wide block,
// the key's first character 'V' of a 16-bit one. The version API converts a
// 16-bit block's strings into space past the block, so such a block must not
// reach it.
VersionLayout LayoutOf(Bytes block);

// A language or code page as version blocks and Windows' lists write it:
// four uppercase hexadecimal digits, "0411".
std::wstring HexWord(std::uint16_t word);

// Nothing when the block is not a version resource. Reads no byte past
// `block`, whatever its lengths say:
// - a length that runs past its parent (or the block) ends there;
// - a node whose key has no NUL within it is passed over, and its siblings
//   are found by its length;
// - a string marked as binary (type 0) ends at its NUL, within its node,
//   whether its value length counts bytes or characters.
std::optional<VersionInfo> ReadVersionInfo(Bytes block);

// The fixed versions and, by key, the strings of `table` in `block`: not
// found for a 16-bit block or one that is no version resource.
VersionValues ReadVersionValues(Bytes block, const std::wstring& table, const std::vector<std::wstring>& keys);

// The table Explorer's Properties sheet shows: the one the first
// translation names, else the first; nothing when there is none.
const StringTable* ShownStringTable(const VersionInfo& info);

// The values a press looks at: the fixed versions and, by key, the strings
// of one table (the table key compared without regard to letter case).
VersionValues ValuesOf(const VersionInfo& info, const std::wstring& table, const std::vector<std::wstring>& keys);

}  // namespace quillmark::verify
