#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmark::verify {

// FILEVERSION and PRODUCTVERSION: four numbers each.
struct FixedVersions {
    std::array<std::uint16_t, 4> file{};
    std::array<std::uint16_t, 4> product{};

    bool operator==(const FixedVersions&) const = default;
};

// What a version resource holds of what a press wrote: the fixed part, and
// the strings by the keys asked for (nothing: the key is not there).
struct VersionValues {
    bool found = false;
    std::optional<FixedVersions> fixed;
    std::vector<std::optional<std::wstring>> strings;
};

}  // namespace quillmark::verify
