#include "tests/support/SyntheticFiles.h"

#include <algorithm>
#include <functional>

namespace quillmark::testing {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

void Append16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 2);
    Put16(out, out.size() - 2, value);
}

void Append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 4);
    Put32(out, out.size() - 4, value);
}

void AppendText(std::vector<std::uint8_t>& out, const std::wstring& text) {
    for (wchar_t c : text) Append16(out, static_cast<std::uint32_t>(c));
    Append16(out, 0);
}

void Pad4(std::vector<std::uint8_t>& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

void AppendPattern(std::vector<std::uint8_t>& out, std::uint32_t count, std::uint8_t seed) {
    for (std::uint32_t i = 0; i < count; ++i) out.push_back(static_cast<std::uint8_t>(seed + i * 7));
}

// One node: length, value length, type, key, value, children; the length
// leaves out the padding after the last child.
void Node(std::vector<std::uint8_t>& out, const std::wstring& key, std::uint16_t type,
          const std::vector<std::uint8_t>& value, std::uint16_t valueLength,
          const std::function<void()>& children = {}) {
    Pad4(out);
    const std::size_t start = out.size();
    Append16(out, 0);
    Append16(out, valueLength);
    Append16(out, type);
    AppendText(out, key);
    Pad4(out);
    out.insert(out.end(), value.begin(), value.end());
    if (children) children();
    Put16(out, start, static_cast<std::uint32_t>(out.size() - start));
}

void Node16(std::vector<std::uint8_t>& out, const std::wstring& key, const std::vector<std::uint8_t>& value,
            const std::function<void()>& children = {}) {
    Pad4(out);
    const std::size_t start = out.size();
    Append16(out, 0);
    Append16(out, static_cast<std::uint32_t>(value.size()));
    for (wchar_t c : key) out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(0);
    Pad4(out);
    out.insert(out.end(), value.begin(), value.end());
    if (children) children();
    Put16(out, start, static_cast<std::uint32_t>(out.size() - start));
}

std::vector<std::uint8_t> FixedInfo(const verify::FixedVersions& versions) {
    std::vector<std::uint8_t> fixed;
    const auto high = [](const std::array<std::uint16_t, 4>& v) { return (std::uint32_t{v[0]} << 16) | v[1]; };
    const auto low = [](const std::array<std::uint16_t, 4>& v) { return (std::uint32_t{v[2]} << 16) | v[3]; };
    for (std::uint32_t word : {0xFEEF04BDu, 0x00010000u, high(versions.file), low(versions.file),
                               high(versions.product), low(versions.product), 0x3Fu, 0u, 4u, 1u, 0u, 0u, 0u}) {
        Append32(fixed, word);
    }
    return fixed;
}

// A resource tree as linkers lay it out: the tables, the names, the data
// entries, then the data; `rva` is where the section will lie in memory.
std::vector<std::uint8_t> ResourceTree(const std::vector<PeResource>& items, std::uint32_t rva) {
    struct Name {
        verify::ResName name;
        std::vector<std::size_t> items;
    };
    struct Type {
        verify::ResName type;
        std::vector<Name> names;
    };
    std::vector<Type> types;
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto type = std::find_if(types.begin(), types.end(), [&](const Type& t) { return t.type == items[i].type; });
        if (type == types.end()) type = types.insert(types.end(), {items[i].type, {}});
        auto name = std::find_if(type->names.begin(), type->names.end(),
                                 [&](const Name& n) { return n.name == items[i].name; });
        if (name == type->names.end()) name = type->names.insert(type->names.end(), {items[i].name, {}});
        name->items.push_back(i);
    }

    std::vector<std::uint8_t> out;
    std::vector<std::pair<std::size_t, std::wstring>> namesToPlace;
    std::vector<std::pair<std::size_t, std::size_t>> dataEntriesToPlace;
    const auto table = [&](const std::vector<verify::ResName>& ids) {
        const std::size_t at = out.size();
        out.resize(at + 16 + 8 * ids.size(), 0);
        std::size_t named = 0;
        for (std::size_t e = 0; e < ids.size(); ++e) {
            if (ids[e].ordinal) {
                Put32(out, at + 16 + 8 * e, *ids[e].ordinal);
            } else {
                ++named;
                namesToPlace.push_back({at + 16 + 8 * e, ids[e].text});
            }
        }
        Put16(out, at + 12, static_cast<std::uint32_t>(named));
        Put16(out, at + 14, static_cast<std::uint32_t>(ids.size() - named));
        return at + 16;
    };
    const auto pointTo = [&](std::size_t entry, std::size_t child) {
        Put32(out, entry + 4, 0x80000000u | static_cast<std::uint32_t>(child));
    };
    std::vector<verify::ResName> typeIds;
    for (const Type& type : types) typeIds.push_back(type.type);
    const std::size_t typeEntries = table(typeIds);
    for (std::size_t t = 0; t < types.size(); ++t) {
        pointTo(typeEntries + 8 * t, out.size());
        std::vector<verify::ResName> nameIds;
        for (const Name& name : types[t].names) nameIds.push_back(name.name);
        const std::size_t nameEntries = table(nameIds);
        for (std::size_t n = 0; n < types[t].names.size(); ++n) {
            pointTo(nameEntries + 8 * n, out.size());
            std::vector<verify::ResName> languages;
            for (std::size_t i : types[t].names[n].items) languages.push_back({items[i].language, {}});
            const std::size_t languageEntries = table(languages);
            for (std::size_t l = 0; l < languages.size(); ++l) {
                dataEntriesToPlace.push_back({languageEntries + 8 * l + 4, types[t].names[n].items[l]});
            }
        }
    }
    for (const auto& [entry, text] : namesToPlace) {
        Put32(out, entry, 0x80000000u | static_cast<std::uint32_t>(out.size()));
        Append16(out, static_cast<std::uint32_t>(text.size()));
        for (wchar_t c : text) Append16(out, static_cast<std::uint32_t>(c));
    }
    Pad4(out);
    std::vector<std::size_t> dataEntries(items.size());
    for (const auto& [entry, item] : dataEntriesToPlace) {
        Put32(out, entry, static_cast<std::uint32_t>(out.size()));
        dataEntries[item] = out.size();
        out.resize(out.size() + 16, 0);
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        Pad4(out);
        Put32(out, dataEntries[i], rva + static_cast<std::uint32_t>(out.size()));
        Put32(out, dataEntries[i] + 4, static_cast<std::uint32_t>(items[i].data.size()));
        out.insert(out.end(), items[i].data.begin(), items[i].data.end());
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> SyntheticPe(const PeSpec& spec) {
    constexpr std::uint32_t kSection = 0x200;
    const std::uint32_t optionalSize = spec.pe32Plus ? 240 : 224;
    const std::uint32_t rsrcRva = 0x1000u * (spec.sections + 1u);
    const auto tree = spec.resources.empty() ? std::vector<std::uint8_t>{} : ResourceTree(spec.resources, rsrcRva);
    const std::uint32_t sectionCount = spec.sections + (tree.empty() ? 0u : 1u);
    const std::uint32_t headersEnd = spec.lfanew + 24 + optionalSize + sectionCount * 40u;
    const std::uint32_t kHeaders = std::max<std::uint32_t>(0x400, (headersEnd + kSection - 1) / kSection * kSection);
    std::vector<std::uint8_t> out(kHeaders + spec.sections * kSection, 0);
    out[0] = 'M';
    out[1] = 'Z';
    Put32(out, 0x3C, spec.lfanew);
    const std::size_t pe = spec.lfanew;
    Put32(out, pe, 0x00004550);
    Put16(out, pe + 4, spec.pe32Plus ? 0x8664 : 0x14C);
    Put16(out, pe + 6, sectionCount);
    Put16(out, pe + 20, optionalSize);
    const std::size_t optional = pe + 24;
    Put16(out, optional, spec.pe32Plus ? 0x20B : 0x10B);
    Put32(out, optional + 36, kSection);
    Put32(out, optional + 60, kHeaders);
    Put32(out, optional + (spec.pe32Plus ? 108 : 92), 16);
    const std::size_t table = optional + optionalSize;
    for (std::uint32_t s = 0; s < spec.sections; ++s) {
        const std::size_t header = table + s * 40;
        out[header] = '.';
        out[header + 1] = static_cast<std::uint8_t>('a' + s);
        Put32(out, header + 8, kSection);
        Put32(out, header + 12, 0x1000u * (s + 1));
        Put32(out, header + 16, kSection);
        Put32(out, header + 20, kHeaders + s * kSection);
        for (std::uint32_t b = 0; b < kSection; ++b)
            out[kHeaders + s * kSection + b] = static_cast<std::uint8_t>(s + b);
    }
    if (!tree.empty()) {
        const std::size_t header = table + spec.sections * 40u;
        for (std::size_t c = 0; c < 5; ++c) out[header + c] = static_cast<std::uint8_t>(".rsrc"[c]);
        const auto rawSize = static_cast<std::uint32_t>((tree.size() + kSection - 1) / kSection * kSection);
        Put32(out, header + 8, static_cast<std::uint32_t>(tree.size()));
        Put32(out, header + 12, rsrcRva);
        Put32(out, header + 16, rawSize);
        Put32(out, header + 20, static_cast<std::uint32_t>(out.size()));
        const std::size_t resources = optional + (spec.pe32Plus ? 112 : 96) + 2 * 8;
        Put32(out, resources, rsrcRva);
        Put32(out, resources + 4, static_cast<std::uint32_t>(tree.size()));
        out.insert(out.end(), tree.begin(), tree.end());
        out.resize(out.size() + rawSize - tree.size(), 0);
    }
    AppendPattern(out, spec.appended, 0x11);
    if (spec.certificates > 0) {
        const std::size_t security = optional + (spec.pe32Plus ? 112 : 96) + 4 * 8;
        Put32(out, security, static_cast<std::uint32_t>(out.size()));
        Put32(out, security + 4, spec.certificates);
        AppendPattern(out, spec.certificates, 0x55);
    }
    AppendPattern(out, spec.appendedAfterCert, 0x99);
    return out;
}

std::vector<std::uint8_t> VersionBlock(const verify::ExpectedVersion& values) {
    const std::vector<std::uint8_t> fixed = FixedInfo(values.fixed);
    std::vector<std::uint8_t> out;
    Node(out, L"VS_VERSION_INFO", 0, fixed, static_cast<std::uint16_t>(fixed.size()), [&] {
        Node(out, L"StringFileInfo", 1, {}, 0, [&] {
            Node(out, values.stringTable, 1, {}, 0, [&] {
                for (const auto& [key, text] : values.strings) {
                    std::vector<std::uint8_t> value;
                    AppendText(value, text);
                    Node(out, key, 1, value, static_cast<std::uint16_t>(text.size() + 1));
                }
            });
        });
        Node(out, L"VarFileInfo", 1, {}, 0, [&] {
            std::vector<std::uint8_t> translation;
            Append16(translation, 0x0411);
            Append16(translation, 0x04B0);
            Node(out, L"Translation", 0, translation, 4);
        });
    });
    return out;
}

namespace {

// Where the node keyed `key` starts.
std::size_t NodeOf(const std::vector<std::uint8_t>& block, const std::wstring& key) {
    std::vector<std::uint8_t> text;
    AppendText(text, key);
    for (auto at = block.begin();; ++at) {
        at = std::search(at, block.end(), text.begin(), text.end());
        if (at == block.end()) return 0;
        const auto start = static_cast<std::size_t>(at - block.begin()) - 6;
        if (start % 4 == 0) return start;
    }
}

std::uint16_t Get16(const std::vector<std::uint8_t>& block, std::size_t at) {
    return static_cast<std::uint16_t>(block[at] | (block[at + 1] << 8));
}

VersionShape Faulted(const char* name, verify::ExpectedVersion values,
                     const std::function<void(std::vector<std::uint8_t>&)>& fault) {
    std::vector<std::uint8_t> block = VersionBlock(values);
    fault(block);
    return {name, std::move(values), std::move(block)};
}

std::function<void(std::vector<std::uint8_t>&)> LengthPastData(const std::wstring& key) {
    return [key](std::vector<std::uint8_t>& block) { Put16(block, NodeOf(block, key), 0xFFFC); };
}

}  // namespace

std::vector<VersionShape> VersionShapes() {
    const auto sample = SampleVersion();
    auto company = sample;
    company.strings[1].second = L"Quillmark Sample Company Ltd";
    // The root's header and key alone, its length as if 64 KB followed.
    std::vector<std::uint8_t> overlong;
    Append16(overlong, 0xFFFC);
    Append16(overlong, 0);
    Append16(overlong, 1);
    AppendText(overlong, L"VS_VERSION_INFO");
    Pad4(overlong);
    return {
        Faulted("Compiled", sample, [](auto&) {}),
        // A type-0 string whose value length counts characters.
        Faulted("BinaryStringCountingCharacters", company,
                [](auto& block) { Put16(block, NodeOf(block, L"CompanyName") + 4, 0); }),
        // The first string's key runs on to the end of its node.
        Faulted("KeyWithoutNul", sample,
                [](auto& block) {
                    const std::size_t node = NodeOf(block, L"Comments");
                    const std::size_t end = node + Get16(block, node);
                    for (std::size_t at = node + 6 + 2 * 8; at + 2 <= end; at += 2) Put16(block, at, L'X');
                }),
        {"OverlongFirstLength", sample, overlong},
        Faulted("RootPastData", sample, LengthPastData(L"VS_VERSION_INFO")),
        Faulted("StringFileInfoPastData", sample, LengthPastData(L"StringFileInfo")),
        Faulted("StringTablePastData", sample, LengthPastData(sample.stringTable)),
        Faulted("StringPastData", sample, LengthPastData(L"LegalCopyright")),
        Faulted("VarFileInfoPastData", sample, LengthPastData(L"VarFileInfo")),
        // "～" without its NUL, its value length past its node, the next
        // node right after it.
        Faulted("ValuePastItsNode", sample,
                [](auto& block) {
                    const std::size_t node = NodeOf(block, L"LegalTrademarks");
                    Put16(block, node + 2, 0xFFFC);
                    Put16(block, node + Get16(block, node) - 2, L'X');
                }),
    };
}

std::vector<std::uint8_t> SixteenBitVersionBlock(const verify::ExpectedVersion& values) {
    std::vector<std::uint8_t> out;
    Node16(out, L"VS_VERSION_INFO", FixedInfo(values.fixed), [&] {
        Node16(out, L"StringFileInfo", {}, [&] {
            // 16-bit tables name an ANSI code page, 04E4 (1252)
            Node16(out, values.stringTable.substr(0, 4) + L"04E4", {}, [&] {
                for (const auto& [key, text] : values.strings) {
                    std::vector<std::uint8_t> value;
                    for (wchar_t c : text) value.push_back(c < 0x80 ? static_cast<std::uint8_t>(c) : '?');
                    value.push_back(0);
                    Node16(out, key, value);
                }
            });
        });
    });
    return out;
}

std::vector<std::uint8_t> ResFileOf(const std::vector<ResSpec>& items) {
    std::vector<std::uint8_t> out;
    const auto item = [&](std::uint16_t type, std::uint16_t name, std::uint16_t language,
                          const std::vector<std::uint8_t>& data) {
        Pad4(out);
        Append32(out, static_cast<std::uint32_t>(data.size()));
        Append32(out, 32);
        for (std::uint32_t id : {std::uint32_t{type}, std::uint32_t{name}}) {
            Append16(out, 0xFFFF);
            Append16(out, id);
        }
        Append32(out, 0);
        Append16(out, 0x1030);
        Append16(out, language);
        Append32(out, 0);
        Append32(out, 0);
        out.insert(out.end(), data.begin(), data.end());
    };
    item(0, 0, 0, {});
    for (const ResSpec& spec : items) item(spec.type, spec.name, spec.language, spec.data);
    Pad4(out);
    return out;
}

VersionReadBack ReadBackOf(const verify::ExpectedVersion& values, const std::vector<std::uint16_t>& languages) {
    verify::VersionValues found;
    found.found = true;
    found.fixed = values.fixed;
    for (const auto& [key, text] : values.strings) found.strings.emplace_back(text);
    VersionReadBack back{{true, {}}, {}, found};
    for (std::uint16_t language : languages) back.languages.push_back({language, found});
    return back;
}

verify::ExpectedVersion SampleVersion() {
    verify::ExpectedVersion values;
    values.fixed = {{1, 2, 0, 3}, {12, 34, 0, 5678}};
    values.stringTable = L"041104B0";
    values.strings = {{L"Comments", L"表示の試験"},   {L"CompanyName", L"Quillmark 株式会社"},
                      {L"FileDescription", L""},      {L"LegalCopyright", L"(C) 2024"},
                      {L"LegalTrademarks", L"～"},    {L"ProductName", L"Quillmark"},
                      {L"FileVersion", L"1.02.0003"}, {L"ProductVersion", L"12.34.5678"},
                      {L"InternalName", L"ql"},       {L"OriginalFilename", L"app.exe"}};
    return values;
}

}  // namespace quillmark::testing
