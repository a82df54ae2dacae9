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

}  // namespace

std::vector<std::uint8_t> SyntheticPe(const PeSpec& spec) {
    constexpr std::uint32_t kSection = 0x200;
    const std::uint32_t optionalSize = spec.pe32Plus ? 240 : 224;
    const std::uint32_t headersEnd = spec.lfanew + 24 + optionalSize + spec.sections * 40u;
    const std::uint32_t kHeaders = std::max<std::uint32_t>(0x400, (headersEnd + kSection - 1) / kSection * kSection);
    std::vector<std::uint8_t> out(kHeaders + spec.sections * kSection, 0);
    out[0] = 'M';
    out[1] = 'Z';
    Put32(out, 0x3C, spec.lfanew);
    const std::size_t pe = spec.lfanew;
    Put32(out, pe, 0x00004550);
    Put16(out, pe + 4, spec.pe32Plus ? 0x8664 : 0x14C);
    Put16(out, pe + 6, spec.sections);
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
        Put32(out, header + 16, kSection);
        Put32(out, header + 20, kHeaders + s * kSection);
        for (std::uint32_t b = 0; b < kSection; ++b)
            out[kHeaders + s * kSection + b] = static_cast<std::uint8_t>(s + b);
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
    std::vector<std::uint8_t> fixed;
    const auto high = [](const std::array<std::uint16_t, 4>& v) { return (std::uint32_t{v[0]} << 16) | v[1]; };
    const auto low = [](const std::array<std::uint16_t, 4>& v) { return (std::uint32_t{v[2]} << 16) | v[3]; };
    for (std::uint32_t word : {0xFEEF04BDu, 0x00010000u, high(values.fixed.file), low(values.fixed.file),
                               high(values.fixed.product), low(values.fixed.product), 0x3Fu, 0u, 4u, 1u, 0u, 0u, 0u}) {
        Append32(fixed, word);
    }
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
