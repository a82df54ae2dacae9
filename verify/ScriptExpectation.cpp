#include "verify/ScriptExpectation.h"

#include <optional>

namespace quillmark::verify {

namespace {

constexpr std::size_t kStringCount = 10;

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::wstring WithoutIndent(const std::wstring& line) {
    const std::size_t first = line.find_first_not_of(L" \t");
    return first == std::wstring::npos ? std::wstring{} : line.substr(first);
}

// "FILEVERSION 1,2,0,3": the four numbers after the keyword.
std::optional<std::array<std::uint16_t, 4>> VersionNumbers(const std::wstring& line, const std::wstring& keyword) {
    if (!line.starts_with(keyword)) return std::nullopt;
    std::array<std::uint16_t, 4> numbers{};
    std::size_t at = keyword.size();
    for (std::size_t n = 0; n < numbers.size(); ++n) {
        while (at < line.size() && line[at] == L' ') ++at;
        std::uint32_t value = 0;
        const std::size_t digits = at;
        while (at < line.size() && line[at] >= L'0' && line[at] <= L'9' && value <= 0xFFFF) {
            value = value * 10 + static_cast<std::uint32_t>(line[at++] - L'0');
        }
        if (at == digits || value > 0xFFFF) return std::nullopt;
        numbers[n] = static_cast<std::uint16_t>(value);
        while (at < line.size() && line[at] == L' ') ++at;
        if (n + 1 < numbers.size() && (at >= line.size() || line[at++] != L',')) return std::nullopt;
    }
    if (at != line.size()) return std::nullopt;
    return numbers;
}

// Value "Key", "text": the text runs to the line's last quote.
std::optional<std::pair<std::wstring, std::wstring>> StringValue(const std::wstring& line) {
    const std::wstring lead = L"Value \"";
    const std::wstring between = L"\", \"";
    if (!line.starts_with(lead) || line.size() < lead.size() + between.size() + 1 || line.back() != L'"') {
        return std::nullopt;
    }
    const std::size_t keyEnd = line.find(between, lead.size());
    if (keyEnd == std::wstring::npos) return std::nullopt;
    const std::size_t valueStart = keyEnd + between.size();
    if (valueStart > line.size() - 1) return std::nullopt;
    return std::pair{line.substr(lead.size(), keyEnd - lead.size()),
                     line.substr(valueStart, line.size() - 1 - valueStart)};
}

// BLOCK "041104B0"
std::optional<std::wstring> BlockName(const std::wstring& line) {
    const std::wstring lead = L"BLOCK \"";
    if (!line.starts_with(lead) || line.size() < lead.size() + 1 || line.back() != L'"') return std::nullopt;
    return line.substr(lead.size(), line.size() - lead.size() - 1);
}

}  // namespace

std::vector<std::wstring> ExpectedVersion::Keys() const {
    std::vector<std::wstring> keys;
    for (const auto& [key, value] : strings) keys.push_back(key);
    return keys;
}

std::variant<ExpectedVersion, ScriptUnreadable> ExpectedFromScript(const std::wstring& filledScript) {
    ExpectedVersion expected;
    bool file = false;
    bool product = false;
    bool inTable = false;
    for (const std::wstring& raw : Lines(filledScript)) {
        const std::wstring line = WithoutIndent(raw);
        if (line.starts_with(L"FILEVERSION")) {
            const auto numbers = VersionNumbers(line, L"FILEVERSION ");
            if (!numbers) return ScriptUnreadable{raw};
            expected.fixed.file = *numbers;
            file = true;
        } else if (line.starts_with(L"PRODUCTVERSION")) {
            const auto numbers = VersionNumbers(line, L"PRODUCTVERSION ");
            if (!numbers) return ScriptUnreadable{raw};
            expected.fixed.product = *numbers;
            product = true;
        } else if (const auto block = BlockName(line);
                   block && *block != L"StringFileInfo" && *block != L"VarFileInfo" && expected.stringTable.empty()) {
            expected.stringTable = *block;
            inTable = true;
        } else if (inTable && line == L"}") {
            inTable = false;
        } else if (inTable && line != L"{") {
            const auto value = StringValue(line);
            if (!value) return ScriptUnreadable{raw};
            expected.strings.push_back(*value);
        }
    }
    if (!file || !product || expected.strings.size() != kStringCount) {
        return ScriptUnreadable{expected.strings.size() != kStringCount ? L"Value" : L"FILEVERSION"};
    }
    return expected;
}

}  // namespace quillmark::verify
