#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

// A resource type or name: an ordinal or a UTF-16 string.
struct ResId {
    bool isOrdinal = true;
    std::uint16_t ordinal = 0;
    std::wstring name;

    static ResId Ordinal(std::uint16_t id) { return ResId{true, id, {}}; }
    static ResId Named(std::wstring text) { return ResId{false, 0, std::move(text)}; }

    // Names compare without regard to letter case, as the system's resource lookup does.
    bool SameAs(const ResId& other) const;
    std::wstring Text() const;
};

struct ResEntry {
    ResId type;
    ResId name;
    std::uint32_t dataVersion = 0;
    std::uint16_t memoryFlags = 0x0030;
    std::uint16_t language = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    std::vector<std::uint8_t> data;
};

// Parses the 32-bit resource file format; the empty leading entry is
// dropped. On failure returns nothing and sets `error`.
std::optional<std::vector<ResEntry>> ParseResFile(const std::vector<std::uint8_t>& bytes, std::wstring& error);

// Writes the entries in the same format, led by the empty entry.
std::vector<std::uint8_t> SerializeResFile(const std::vector<ResEntry>& entries);

}  // namespace standin
