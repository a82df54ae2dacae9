#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quillmark {

// One version: major, minor, the third number (always 0) and revision.
using VersionRow = std::array<std::int32_t, 4>;

// Row 0 is the file version, row 1 the product version.
using VersionTable = std::array<VersionRow, 2>;

enum class VersionColumn { Major = 0, Minor = 1, Revision = 3 };

// What each number of a version row may be, by column: what the boxes take.
struct VersionRange {
    std::int32_t low;
    std::int32_t high;
};
inline constexpr std::array<VersionRange, 4> kVersionRanges{{{0, 99}, {0, 99}, {0, 0}, {0, 9999}}};

// "0～99": one range as the messages write it ("0" when it holds one number).
std::wstring VersionRangeText(const VersionRange& range);
// "0～99, 0～99, 0, 0～9999": every column's.
std::wstring VersionRangesText();

// The message of the first value outside its range, testing the file row
// before the product row and, within a row, major, minor, revision.
std::optional<std::wstring> FirstRangeFailure(const VersionTable& table);

// "1.00" or "1.02.0003": the value of the FileVersion / ProductVersion string.
std::wstring VersionText(const VersionRow& row);

// "FILEVERSION 1,2,0,3": keyword followed by the four numbers.
std::wstring VersionLine(const std::wstring& keyword, const VersionRow& row);

}  // namespace quillmark
