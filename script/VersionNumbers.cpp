#include "script/VersionNumbers.h"

#include "script/NumberFormat.h"

namespace quillmark {

namespace {

struct RangeRule {
    std::size_t column;
    const wchar_t* name;
};

// The third number is always 0: no box gives it.
constexpr RangeRule kRangeRules[] = {
    {0, L"Major Version"},
    {1, L"Minor Version"},
    {3, L"Revision"},
};

}  // namespace

std::wstring VersionRangeText(const VersionRange& range) {
    // "～" is U+FF5E FULLWIDTH TILDE.
    if (range.low == range.high) return std::to_wstring(range.low);
    return std::to_wstring(range.low) + L"\uFF5E" + std::to_wstring(range.high);
}

std::wstring VersionRangesText() {
    std::wstring text;
    for (const VersionRange& range : kVersionRanges) text += (text.empty() ? L"" : L", ") + VersionRangeText(range);
    return text;
}

std::optional<std::wstring> FirstRangeFailure(const VersionTable& table) {
    for (const VersionRow& row : table) {
        for (const RangeRule& rule : kRangeRules) {
            const VersionRange& range = kVersionRanges[rule.column];
            const std::int32_t value = row[rule.column];
            if (value < range.low || value > range.high) {
                return std::wstring(rule.name) + L" : " + VersionRangeText(range);
            }
        }
    }
    return std::nullopt;
}

std::wstring VersionText(const VersionRow& row) {
    std::wstring text = FormatWithMinDigits(row[0], 1) + L"." + FormatWithMinDigits(row[1], 2);
    if (static_cast<std::int64_t>(row[2]) * 100 + row[3] > 0) {
        text += L"." + FormatWithMinDigits(row[3], 4);
    }
    return text;
}

std::wstring VersionLine(const std::wstring& keyword, const VersionRow& row) {
    return keyword + std::to_wstring(row[0]) + L"," + std::to_wstring(row[1]) + L"," + std::to_wstring(row[2]) + L"," +
           std::to_wstring(row[3]);
}

}  // namespace quillmark
