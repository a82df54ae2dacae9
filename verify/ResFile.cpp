#include "verify/ResFile.h"

#include <algorithm>

namespace quillmark::verify {

namespace {

constexpr std::uint64_t kFixedHeaderTail = 16;  // data version, flags, language, version, characteristics

std::optional<ResName> NameAt(Bytes bytes, std::uint64_t& at, std::uint64_t headerEnd) {
    const auto first = U16At(bytes, at);
    if (!first || at + 2 > headerEnd) return std::nullopt;
    if (*first == 0xFFFF) {
        const auto ordinal = U16At(bytes, at + 2);
        if (!ordinal || at + 4 > headerEnd) return std::nullopt;
        at += 4;
        return ResName{*ordinal, {}};
    }
    auto text = Utf16zAt(bytes, at, headerEnd, at);
    if (!text) return std::nullopt;
    return ResName{std::nullopt, std::move(*text)};
}

bool IsLeadingEmptyItem(const ResItem& item) {
    return item.data.length == 0 && item.type.ordinal == 0 && item.name.ordinal == 0;
}

}  // namespace

std::optional<std::vector<ResItem>> ReadResFile(Bytes bytes) {
    std::vector<ResItem> items;
    std::uint64_t at = 0;
    bool first = true;
    while (at < bytes.size()) {
        if (std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end(),
                        [](std::uint8_t b) { return b == 0; })) {
            break;  // padding after the last item
        }
        const auto dataSize = U32At(bytes, at);
        const auto headerSize = U32At(bytes, at + 4);
        if (!dataSize || !headerSize) return std::nullopt;
        const std::uint64_t headerEnd = at + *headerSize;
        const std::uint64_t dataEnd = headerEnd + *dataSize;
        if (*headerSize < 8 + kFixedHeaderTail || dataEnd > bytes.size()) return std::nullopt;

        std::uint64_t cursor = at + 8;
        auto type = NameAt(bytes, cursor, headerEnd);
        auto name = type ? NameAt(bytes, cursor, headerEnd) : std::nullopt;
        cursor = AlignedTo4(cursor);
        if (!name || cursor + kFixedHeaderTail > headerEnd) return std::nullopt;
        ResItem item{std::move(*type), std::move(*name), *U16At(bytes, cursor + 6), {headerEnd, *dataSize}};
        if (!(first && IsLeadingEmptyItem(item))) items.push_back(std::move(item));
        first = false;
        at = AlignedTo4(dataEnd);
    }
    return items;
}

}  // namespace quillmark::verify
