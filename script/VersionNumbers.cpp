#include "script/VersionNumbers.h"

#include "script/NumberFormat.h"

namespace quillmark {

namespace {

struct RangeRule {
    int column;
    std::int32_t low, high;
    const wchar_t* message;
};

// "～" is U+FF5E FULLWIDTH TILDE.
constexpr RangeRule kRangeRules[] = {
    {0, 0, 99, L"Major Version : 0\uFF5E99"},
    {1, 0, 99, L"Minor Version : 0\uFF5E99"},
    {3, 0, 9999, L"Revision : 0\uFF5E9999"},
};

}  // namespace

std::optional<std::wstring> FirstRangeFailure(const VersionTable& table) {
    for (const VersionRow& row : table) {
        for (const RangeRule& rule : kRangeRules) {
            const std::int32_t value = row[static_cast<std::size_t>(rule.column)];
            if (value < rule.low || value > rule.high) {
                return std::wstring(rule.message);
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
