#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

const std::array<const wchar_t*, 10> kKeys{
    L"Comments",    L"CompanyName", L"FileDescription", L"LegalCopyright", L"LegalTrademarks",
    L"ProductName", L"FileVersion", L"ProductVersion",  L"InternalName",   L"OriginalFilename"};

// The script as the editor must receive it, written out by hand.
std::wstring ExpectedScript(const std::array<std::wstring, 10>& values, const std::wstring& fileLine,
                            const std::wstring& productLine) {
    std::wstring s = L"1 VERSIONINFO\r\n" + fileLine + L"\r\n" + productLine +
                     L"\r\nFILEOS 0x4\r\nFILETYPE 0x1\r\n{\r\nBLOCK \"StringFileInfo\"\r\n{\r\n\tBLOCK "
                     L"\"041104B0\"\r\n\t{\r\n";
    for (std::size_t i = 0; i < 10; ++i) {
        s += L"\tValue \"" + std::wstring(kKeys[i]) + L"\", \"" + values[i] + L"\"\r\n";
    }
    return s + L"\t}\r\n}\r\n\r\nBLOCK \"VarFileInfo\"\r\n{\r\n\tVALUE \"Translation\", 0x0411 0x04B0\r\n}\r\n}\r\n";
}

class Command1Filling : public FormFixture {
protected:
    void SetStrings(const std::array<std::wstring, 10>& values) {
        for (int i = 0; i < 10; ++i) {
            if (i != 6 && i != 7) platform.Type({L"txtInfo", i}, values[static_cast<std::size_t>(i)]);
        }
    }

    std::wstring PastedScript() const { return platform.clipboardText; }
};

TEST_F(Command1Filling, FillsEveryPlaceholderFromTheFields) {
    StartWithPaths();
    std::array<std::wstring, 10> values{L"注釈 \"quoted\" C:\\dir",
                                        L"株式会社テスト",
                                        L"説明文",
                                        L"(c) 2026",
                                        L"TM",
                                        L"Quillmark テスト",
                                        L"",
                                        L"",
                                        L"app",
                                        L"app.exe"};
    SetStrings(values);
    SetVersions(L"1", L"2", L"3", L"12", L"34", L"5678");
    Press(L"Command1");
    values[6] = L"1.02.0003";
    values[7] = L"12.34.5678";
    EXPECT_EQ(Utf8(PastedScript()),
              Utf8(ExpectedScript(values, L"FILEVERSION 1,2,0,3", L"PRODUCTVERSION 12,34,0,5678")));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Command1Filling, EmptyFieldsLeaveAdjacentQuotes) {
    StartWithPaths();
    std::array<std::wstring, 10> values{};
    SetStrings(values);
    Press(L"Command1");
    values[6] = L"1.00";
    values[7] = L"1.00";
    EXPECT_EQ(Utf8(PastedScript()), Utf8(ExpectedScript(values, L"FILEVERSION 1,0,0,0", L"PRODUCTVERSION 1,0,0,0")));
}

TEST_F(Command1Filling, AValueHoldingItsOwnPlaceholderIsLeftAlone) {
    StartWithPaths();
    std::array<std::wstring, 10> values{L"(Comments)", L"a", L"b", L"c", L"d", L"e", L"", L"", L"g", L"h"};
    SetStrings(values);
    Press(L"Command1");
    values[6] = values[7] = L"1.00";
    EXPECT_EQ(Utf8(PastedScript()), Utf8(ExpectedScript(values, L"FILEVERSION 1,0,0,0", L"PRODUCTVERSION 1,0,0,0")));
}

TEST_F(Command1Filling, ALaterFieldsPlaceholderInAnEarlierValueIsReplacedThere) {
    StartWithPaths();
    std::array<std::wstring, 10> values{L"(InternalName)", L"a", L"b", L"c", L"d", L"e", L"", L"", L"inner", L"h"};
    SetStrings(values);
    Press(L"Command1");
    std::array<std::wstring, 10> expected = values;
    expected[0] = L"inner";
    expected[8] = L"(InternalName)";
    expected[6] = expected[7] = L"1.00";
    EXPECT_EQ(Utf8(PastedScript()), Utf8(ExpectedScript(expected, L"FILEVERSION 1,0,0,0", L"PRODUCTVERSION 1,0,0,0")));
}

struct RangeStop {
    std::array<const wchar_t*, 6> boxes;
    const wchar_t* message;
};

class Command1RangeStops : public FormFixture, public ::testing::WithParamInterface<RangeStop> {};

TEST_P(Command1RangeStops, ShowTheMessageAndTouchNothing) {
    StartWithPaths();
    const auto& b = GetParam().boxes;
    SetVersions(b[0], b[1], b[2], b[3], b[4], b[5]);
    Press(L"Command1");
    ASSERT_EQ(platform.calls.size(), 1u);
    EXPECT_EQ(Utf8(platform.calls[0]),
              Utf8(std::wstring(L"MessageBox Warning Ok title=Quillmark入力エラー text=") + GetParam().message));
    EXPECT_EQ(platform.GetText({L"txtFileVer", 0}), b[0]);  // the boxes keep what was typed
}

INSTANTIATE_TEST_SUITE_P(Messages, Command1RangeStops,
                         ::testing::Values(RangeStop{{L"100", L"0", L"0", L"1", L"0", L"0"}, L"Major Version : 0～99"},
                                           RangeStop{{L"1", L"100", L"0", L"1", L"0", L"0"}, L"Minor Version : 0～99"},
                                           RangeStop{{L"1", L"0", L"10000", L"1", L"0", L"0"}, L"Revision : 0～9999"},
                                           RangeStop{{L"1", L"0", L"10000", L"100", L"0", L"0"}, L"Revision : 0～9999"},
                                           RangeStop{{L"1", L"0", L"0", L"-1", L"0", L"0"}, L"Major Version : 0～99"},
                                           RangeStop{{L"1", L"0", L"0", L"1", L"99.5", L"0"}, L"Minor Version : 0～99"},
                                           RangeStop{{L"1", L"0", L"0", L"1", L"0", L"9999.5"}, L"Revision : 0～9999"},
                                           RangeStop{{L"1", L"0", L"0", L"1", L"0", L"1e5"}, L"Revision : 0～9999"}));

struct ConversionStop {
    int boxIndex;  // 0..5 in reading order
    const wchar_t* text;
    const wchar_t* namedBox;
};

class Command1ConversionStops : public FormFixture, public ::testing::WithParamInterface<ConversionStop> {};

TEST_P(Command1ConversionStops, NameTheBoxAndTouchNothing) {
    StartWithPaths();
    std::array<std::wstring, 6> boxes{L"100", L"0", L"0", L"1", L"0", L"0"};  // a range error comes later
    boxes[static_cast<std::size_t>(GetParam().boxIndex)] = GetParam().text;
    SetVersions(boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], boxes[5]);
    Press(L"Command1");
    ASSERT_EQ(platform.calls.size(), 1u);
    const std::string call = Utf8(platform.calls[0]);
    EXPECT_TRUE(call.starts_with("MessageBox Warning Ok title=Quillmark入力エラー text=")) << call;
    EXPECT_NE(call.find(Utf8(GetParam().namedBox)), std::string::npos) << call;
    EXPECT_NE(call.find(Utf8(L"「" + std::wstring(GetParam().text) + L"」")), std::string::npos) << call;
}

INSTANTIATE_TEST_SUITE_P(Boxes, Command1ConversionStops,
                         ::testing::Values(ConversionStop{0, L"", L"ファイルバージョンの Major"},
                                           ConversionStop{2, L"abc", L"ファイルバージョンの Rev."},
                                           ConversionStop{3, L"2147483648", L"製品バージョンの Major"},
                                           ConversionStop{4, L" ", L"製品バージョンの Minor"},
                                           ConversionStop{5, L"１２", L"製品バージョンの Rev."}));

TEST_F(Command1Filling, ASecondPressAfterAFailureStartsFromTheTemplate) {
    StartWithPaths();
    std::array<std::wstring, 10> values{L"c1", L"c2", L"c3", L"c4", L"c5", L"c6", L"", L"", L"c8", L"c9"};
    SetStrings(values);
    SetVersions(L"100", L"0", L"0", L"1", L"0", L"0");
    Press(L"Command1");
    EXPECT_TRUE(PastedScript().empty());
    SetVersions(L"2", L"10", L"1", L"0", L"5", L"0");
    Press(L"Command1");
    values[6] = L"2.10.0001";
    values[7] = L"0.05";
    EXPECT_EQ(Utf8(PastedScript()), Utf8(ExpectedScript(values, L"FILEVERSION 2,10,0,1", L"PRODUCTVERSION 0,5,0,0")));
    // and the window's template is untouched
    EXPECT_EQ(form.VersionScriptTemplate().size(), 645u);
    EXPECT_NE(form.VersionScriptTemplate().find(L"(Comments)"), std::wstring::npos);
}

TEST_F(Command1Filling, SurroundingBlanksAndHalfsFollowTheConversion) {
    StartWithPaths();
    SetVersions(L" 7 ", L"2.5", L"3.5", L"1.5", L"0", L"0");
    Press(L"Command1");
    EXPECT_NE(PastedScript().find(L"FILEVERSION 7,2,0,4\r\n"), std::wstring::npos);
    EXPECT_NE(PastedScript().find(L"\"7.02.0004\""), std::wstring::npos);
    EXPECT_NE(PastedScript().find(L"PRODUCTVERSION 2,0,0,0\r\n"), std::wstring::npos);
}

}  // namespace
}  // namespace quillmark::testing
