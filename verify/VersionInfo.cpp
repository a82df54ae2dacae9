#include "verify/VersionInfo.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace quillmark::verify {

namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint16_t kFixedInfoSize = 52;
constexpr std::uint16_t kBinaryType = 0;
constexpr std::uint16_t kTextType = 1;
constexpr std::uint64_t kNodeHeaderSize = 6;

// One node of the block: length, value length, type, key, value, children.
// Without a key (no NUL within the node) nothing is asked of it, but its
// length still leads to the next sibling, as the version API walks.
struct Node {
    std::optional<std::wstring> key;
    std::uint16_t type = 0;
    std::uint64_t valueAt = 0;
    std::uint64_t valueEnd = 0;
    std::uint64_t childrenAt = 0;
    std::uint64_t end = 0;
};

// The node at `at`, ending at its length or at its parent's end, whichever
// comes first; nothing when its header does not fit or its length is
// shorter than the header (no next sibling can be found from it).
std::optional<Node> NodeAt(Bytes block, std::uint64_t at, std::uint64_t parentEnd) {
    parentEnd = std::min<std::uint64_t>(parentEnd, block.size());
    if (at > parentEnd || parentEnd - at < kNodeHeaderSize) return std::nullopt;
    const std::uint16_t length = *U16At(block, at);
    const std::uint16_t valueLength = *U16At(block, at + 2);
    if (length < kNodeHeaderSize) return std::nullopt;
    Node node;
    node.type = *U16At(block, at + 4);
    node.end = std::min<std::uint64_t>(at + length, parentEnd);
    std::uint64_t afterKey = 0;
    node.key = Utf16zAt(block, at + kNodeHeaderSize, node.end, afterKey);
    if (!node.key) {
        node.valueAt = node.valueEnd = node.childrenAt = node.end;
        return node;
    }
    node.valueAt = std::min(AlignedTo4(afterKey), node.end);
    // Text values count characters; some writers count bytes instead, so
    // the node's end bounds them either way.
    const std::uint64_t valueBytes = node.type == kBinaryType ? valueLength : std::uint64_t{valueLength} * 2;
    node.valueEnd = std::min(node.valueAt + valueBytes, node.end);
    node.childrenAt = AlignedTo4(node.valueEnd);
    return node;
}

template <typename Visit>
void ForEachChild(Bytes block, const Node& parent, Visit visit) {
    for (std::uint64_t at = parent.childrenAt;;) {
        const auto child = NodeAt(block, at, parent.end);
        if (!child) return;
        if (child->key) visit(*child);
        at = AlignedTo4(child->end);
    }
}

// A string marked as binary may count its length in bytes or in
// characters: it ends at its NUL, within its node.
std::wstring TextValue(Bytes block, const Node& node) {
    const std::uint64_t end = node.type == kBinaryType ? node.end : node.valueEnd;
    std::wstring text;
    for (std::uint64_t at = node.valueAt; at + 2 <= end; at += 2) {
        const std::uint16_t unit = *U16At(block, at);
        if (unit == 0) break;
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

std::optional<FixedVersions> FixedOf(Bytes block, const Node& root) {
    if (root.valueEnd - root.valueAt < kFixedInfoSize || U32At(block, root.valueAt) != kFixedSignature) {
        return std::nullopt;
    }
    auto split = [&](std::uint64_t at) {
        const std::uint32_t high = *U32At(block, at);
        const std::uint32_t low = *U32At(block, at + 4);
        return std::array<std::uint16_t, 4>{static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high),
                                            static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low)};
    };
    return FixedVersions{split(root.valueAt + 8), split(root.valueAt + 16)};
}

bool SameKey(const std::wstring& a, const std::wstring& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
    });
}

}  // namespace

std::wstring HexWord(std::uint16_t word) {
    wchar_t hex[5] = {};
    std::swprintf(hex, 5, L"%04X", unsigned{word});
    return hex;
}

VersionLayout LayoutOf(Bytes block) {
    const auto word = U16At(block, 4);
    if (!word) return VersionLayout::Unknown;
    if (*word == kBinaryType || *word == kTextType) return VersionLayout::Wide;
    if (block[4] == 'V') return VersionLayout::Ansi16;
    return VersionLayout::Unknown;
}

std::optional<VersionInfo> ReadVersionInfo(Bytes block) {
    // The resource may be padded past the block's own length, or cut short
    // of it: then the block ends where the bytes do.
    const auto root = NodeAt(block, 0, block.size());
    if (!root || root->key != L"VS_VERSION_INFO") return std::nullopt;

    VersionInfo info;
    info.fixed = FixedOf(block, *root);
    ForEachChild(block, *root, [&](const Node& child) {
        if (*child.key != L"StringFileInfo") return;
        ForEachChild(block, child, [&](const Node& tableNode) {
            StringTable table{*tableNode.key, {}};
            ForEachChild(block, tableNode, [&](const Node& string) {
                table.strings.emplace_back(*string.key, TextValue(block, string));
            });
            info.stringTables.push_back(std::move(table));
        });
    });
    ForEachChild(block, *root, [&](const Node& child) {
        if (*child.key != L"VarFileInfo") return;
        ForEachChild(block, child, [&](const Node& var) {
            if (*var.key != L"Translation") return;
            for (std::uint64_t at = var.valueAt; at + 4 <= var.valueEnd; at += 4) {
                info.translations.push_back({*U16At(block, at), *U16At(block, at + 2)});
            }
        });
    });
    return info;
}

const StringTable* ShownStringTable(const VersionInfo& info) {
    if (info.stringTables.empty()) return nullptr;
    if (!info.translations.empty()) {
        const std::wstring key = HexWord(info.translations[0].language) + HexWord(info.translations[0].codePage);
        for (const StringTable& table : info.stringTables) {
            if (SameKey(table.key, key)) return &table;
        }
    }
    return &info.stringTables.front();
}

VersionValues ReadVersionValues(Bytes block, const std::wstring& table, const std::vector<std::wstring>& keys) {
    if (LayoutOf(block) != VersionLayout::Wide) return {};
    const auto info = ReadVersionInfo(block);
    return info ? ValuesOf(*info, table, keys) : VersionValues{};
}

VersionValues ValuesOf(const VersionInfo& info, const std::wstring& table, const std::vector<std::wstring>& keys) {
    VersionValues values;
    values.found = true;
    values.fixed = info.fixed;
    values.strings.resize(keys.size());
    for (const StringTable& candidate : info.stringTables) {
        if (!SameKey(candidate.key, table)) continue;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            for (const auto& [key, value] : candidate.strings) {
                if (!values.strings[k] && SameKey(key, keys[k])) values.strings[k] = value;
            }
        }
        break;
    }
    return values;
}

}  // namespace quillmark::verify
