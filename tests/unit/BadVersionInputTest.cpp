#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

// What a press makes of one text typed into the file version's Minor box.
struct BadInput {
    const wchar_t* text;
    std::optional<int> minor;  // the number it converts to and passes with
    const wchar_t* message;    // otherwise the start of the message that stops the press
};

class BadVersionInput : public FormFixture, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BadVersionInput, ConvertsByThePlatformsRulesOrStopsCleanly) {
    StartWithPaths();
    SetVersions(L"1", GetParam().text, L"0", L"1", L"0", L"0");
    Press(L"Command1");
    if (GetParam().minor) {
        EXPECT_TRUE(platform.messages.empty()) << Utf8(platform.messages.empty() ? L"" : platform.messages[0]);
        EXPECT_NE(platform.clipboardText.find(L"FILEVERSION 1," + std::to_wstring(*GetParam().minor) + L",0,0\r\n"),
                  std::wstring::npos);
        EXPECT_EQ(platform.CallsStartingWith(L"Launch").size(), 3u);
        return;
    }
    ASSERT_EQ(platform.calls.size(), 1u) << "anything after the message";
    EXPECT_TRUE(platform.calls[0].starts_with(L"MessageBox Warning Ok title=Quillmark入力エラー text=" +
                                              std::wstring(GetParam().message)))
        << Utf8(platform.calls[0]);
    EXPECT_EQ(platform.GetText({L"txtFileVer", 1}), GetParam().text);
}

constexpr const wchar_t* kNotANumber = L"ファイルバージョンの Minor「";
constexpr const wchar_t* kMinorRange = L"Minor Version : 0～99";

INSTANTIATE_TEST_SUITE_P(
    Texts, BadVersionInput,
    ::testing::Values(BadInput{L"", std::nullopt, kNotANumber}, BadInput{L" ", std::nullopt, kNotANumber},
                      BadInput{L"abc", std::nullopt, kNotANumber}, BadInput{L"1e3", std::nullopt, kMinorRange},
                      BadInput{L"&H10", 16, nullptr}, BadInput{L"１２", std::nullopt, kNotANumber},
                      BadInput{L"2147483648", std::nullopt, kNotANumber}, BadInput{L"-0", 0, nullptr},
                      BadInput{L"99.5", std::nullopt, kMinorRange}, BadInput{L"99.4", 99, nullptr},
                      BadInput{L"0.5", 0, nullptr}, BadInput{L"1,000", std::nullopt, kMinorRange},
                      BadInput{L"-2147483649", std::nullopt, kNotANumber}, BadInput{L"1.5e1", 15, nullptr},
                      BadInput{L"12\u00A0", std::nullopt, kNotANumber}));

}  // namespace
}  // namespace quillmark::testing
