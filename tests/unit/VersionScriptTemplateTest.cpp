#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "script/VersionScriptTemplate.h"
#include "ui/FieldTable.h"

namespace quillmark {
namespace {

std::vector<std::wstring> LinesOf(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(VersionScriptTemplate, HasItsTotals) {
    const std::wstring text = BuildVersionScriptTemplate();
    EXPECT_EQ(text.size(), 645u);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\t'), 14);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'"'), 48);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\r'), 28);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 28);
    EXPECT_TRUE(text.ends_with(L"}\r\n"));
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 128; }));
}

TEST(VersionScriptTemplate, LineLengthsAndIndentation) {
    const std::vector<std::size_t> lengths{13, 22, 25, 10, 12, 1,  22, 1, 17, 2,  31, 37, 45, 43,
                                           45, 37, 37, 43, 39, 47, 2,  1, 0,  19, 1,  35, 1,  1};
    const std::vector<std::wstring> lines = LinesOf(BuildVersionScriptTemplate());
    ASSERT_EQ(lines.size(), 28u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t number = i + 1;
        EXPECT_EQ(lines[i].size(), lengths[i]) << "line " << number;
        const bool indented = number == 9 || number == 10 || (number >= 11 && number <= 21) || number == 26;
        EXPECT_EQ(lines[i].starts_with(L"\t"), indented) << "line " << number;
        EXPECT_FALSE(lines[i].starts_with(L"\t\t")) << "line " << number;
        EXPECT_FALSE(!lines[i].empty() && lines[i].back() == L' ') << "line " << number;
    }
    EXPECT_TRUE(lines[22].empty());
    EXPECT_EQ(lines[25], L"\tVALUE \"Translation\", 0x0411 0x04B0");
    EXPECT_EQ(lines[8], L"\tBLOCK \"041104B0\"");
}

TEST(VersionScriptTemplate, EachStringLineCarriesItsFieldPlaceholderOnce) {
    const std::wstring text = BuildVersionScriptTemplate();
    const std::vector<std::wstring> lines = LinesOf(text);
    for (const FieldSpec& field : FieldTable()) {
        const std::wstring key = field.keyName;
        EXPECT_EQ(lines[10 + static_cast<std::size_t>(field.index)], L"\tValue \"" + key + L"\", \"(" + key + L")\"");
        const std::wstring placeholder = L"(" + key + L")";
        EXPECT_EQ(text.find(placeholder), text.rfind(placeholder)) << "twice: " << field.index;
    }
    EXPECT_EQ(lines[1], kFileVersionLinePlaceholder);
    EXPECT_EQ(lines[2], kProductVersionLinePlaceholder);
}

}  // namespace
}  // namespace quillmark
