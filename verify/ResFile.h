#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "verify/Bytes.h"

namespace quillmark::verify {

inline constexpr std::uint16_t kRtVersion = 16;

// A resource type or name: a number or a text.
struct ResName {
    std::optional<std::uint16_t> ordinal;
    std::wstring text;

    bool operator==(const ResName&) const = default;
};

// One item of a compiled resource file; its data as a range of the file.
struct ResItem {
    ResName type;
    ResName name;
    std::uint16_t language = 0;
    ByteRange data;
};

inline bool IsVersionItem(const ResItem& item) { return item.type.ordinal == kRtVersion; }

// The items of a 32-bit resource file (.res), without the empty item that
// leads it; nothing when the file is not one or is cut short.
std::optional<std::vector<ResItem>> ReadResFile(Bytes bytes);

}  // namespace quillmark::verify
