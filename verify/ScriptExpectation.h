#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "verify/VersionValues.h"

namespace quillmark::verify {

// What a version resource compiled from the filled script must hold.
struct ExpectedVersion {
    FixedVersions fixed;
    std::wstring stringTable;  // "041104B0"
    std::vector<std::pair<std::wstring, std::wstring>> strings;

    std::vector<std::wstring> Keys() const;
};

// Why the filled script cannot be read back: the line that stopped it.
struct ScriptUnreadable {
    std::wstring line;
};

// Reads the fixed versions and the string table out of the filled script,
// each string exactly as it stands between its quotes.
std::variant<ExpectedVersion, ScriptUnreadable> ExpectedFromScript(const std::wstring& filledScript);

}  // namespace quillmark::verify
