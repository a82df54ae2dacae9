#include "verify/Bytes.h"

namespace quillmark::verify {

std::uint64_t TotalLength(const std::vector<ByteRange>& ranges) {
    std::uint64_t total = 0;
    for (const ByteRange& range : ranges) total += range.length;
    return total;
}

std::optional<std::uint16_t> U16At(Bytes bytes, std::uint64_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 2) return std::nullopt;
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::optional<std::uint32_t> U32At(Bytes bytes, std::uint64_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 4) return std::nullopt;
    return static_cast<std::uint32_t>(bytes[offset]) | (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::optional<std::wstring> Utf16zAt(Bytes bytes, std::uint64_t offset, std::uint64_t end, std::uint64_t& next) {
    std::wstring text;
    for (std::uint64_t at = offset; at + 2 <= end; at += 2) {
        const auto unit = U16At(bytes, at);
        if (!unit) return std::nullopt;
        if (*unit == 0) {
            next = at + 2;
            return text;
        }
        text.push_back(static_cast<wchar_t>(*unit));
    }
    return std::nullopt;
}

}  // namespace quillmark::verify
