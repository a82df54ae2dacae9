#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillmark::verify {

using Bytes = std::span<const std::uint8_t>;

// A stretch of a file, by offset and length.
struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;

    std::uint64_t End() const { return offset + length; }
    bool operator==(const ByteRange&) const = default;
};

std::uint64_t TotalLength(const std::vector<ByteRange>& ranges);

// Little-endian reads that refuse to go past the end; offsets from a file
// are never trusted.
std::optional<std::uint16_t> U16At(Bytes bytes, std::uint64_t offset);
std::optional<std::uint32_t> U32At(Bytes bytes, std::uint64_t offset);

// A NUL-terminated UTF-16 text starting at `offset`, no further than `end`;
// nothing when no NUL comes before it. `next` gets the offset after the NUL.
std::optional<std::wstring> Utf16zAt(Bytes bytes, std::uint64_t offset, std::uint64_t end, std::uint64_t& next);

inline std::uint64_t AlignedTo4(std::uint64_t offset) { return (offset + 3) & ~std::uint64_t{3}; }

}  // namespace quillmark::verify
