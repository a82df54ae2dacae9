#pragma once

#include <optional>
#include <string>
#include <vector>

#include "verify/ScriptExpectation.h"
#include "verify/VersionValues.h"

namespace quillmark::verify {

// One value that is not what the press wrote.
struct Difference {
    std::wstring what;  // "FILEVERSION", "PRODUCTVERSION" or a string's key
    std::wstring expected;
    std::optional<std::wstring> actual;  // nothing: not there at all

    bool operator==(const Difference&) const = default;
};

// "1.2.0.3"
std::wstring DottedVersion(const std::array<std::uint16_t, 4>& numbers);

// The fixed versions first, then the strings in the script's order.
std::vector<Difference> Compare(const ExpectedVersion& expected, const VersionValues& found);

}  // namespace quillmark::verify
