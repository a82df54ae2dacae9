#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "script/VersionNumbers.h"

namespace quillmark {

// One of the six version number boxes and the cell of the version table it
// fills.
struct VersionBox {
    const wchar_t* control;  // txtFileVer or txtProductVer
    int index;               // 0 Major, 1 Minor, 2 Rev.
    int row;
    int column;
    const wchar_t* description;  // how a message names the box
};

// In the order the boxes are read.
std::span<const VersionBox, 6> VersionBoxes();

// Why a press stops before any range test.
struct ConversionFailure {
    std::wstring message;
};

// The locale's whole-number conversion; nothing when a text is no number.
using TextToNumber = std::function<std::optional<std::int32_t>(const std::wstring&)>;

// Converts the texts of the six boxes, in the order of VersionBoxes(), into
// the version table, all before any range test. The third number of each
// row is 0.
std::variant<VersionTable, ConversionFailure> ReadVersionTable(std::span<const std::wstring, 6> texts,
                                                               const TextToNumber& textToLong);

}  // namespace quillmark
