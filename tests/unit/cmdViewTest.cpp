#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

class CheckButton : public FormFixture {};

TEST_F(CheckButton, AsksTheShellForTheTargetsPropertiesSheet) {
    StartWithPaths();
    Press(L"cmdView");
    ASSERT_EQ(platform.calls, std::vector<std::wstring>{L"PropertiesSheet D:\\Work\\app.exe"});
}

TEST_F(CheckButton, ADeletedTargetShowsTheMessageAndNoSheet) {
    StartWithPaths();
    platform.files.erase(platform.files.begin() + 1);
    platform.fileBytes.erase(kTarget);
    Press(L"cmdView");
    ASSERT_EQ(platform.calls.size(), 1u);
    EXPECT_EQ(Utf8(platform.calls[0]),
              Utf8(L"MessageBox None Ok title=Quillmark text=確認するファイルが見つかりません。"));
    EXPECT_TRUE(platform.IsEnabled({L"cmdView"}));  // the buttons are not re-evaluated
}

struct NameLength {
    const wchar_t* existing;
    const wchar_t* target;
    bool opensSheet;
};

class CheckButtonNames : public FormFixture, public ::testing::WithParamInterface<NameLength> {};

TEST_P(CheckButtonNames, NeedThreeCharactersThoughTheButtonNeedsTwo) {
    platform.files.push_back({GetParam().existing});
    StartWithPaths(kEditor, GetParam().target);
    ASSERT_TRUE(platform.IsEnabled({L"cmdView"}));
    Press(L"cmdView");
    EXPECT_EQ(platform.CallsStartingWith(L"PropertiesSheet").size(), GetParam().opensSheet ? 1u : 0u);
    EXPECT_EQ(platform.messages.empty(), GetParam().opensSheet);
    if (GetParam().opensSheet) {
        // as typed, not the name found
        EXPECT_EQ(platform.CallsStartingWith(L"PropertiesSheet"),
                  std::vector<std::wstring>{L"PropertiesSheet " + std::wstring(GetParam().target)});
    }
}

INSTANTIATE_TEST_SUITE_P(Names, CheckButtonNames,
                         ::testing::Values(NameLength{L"C:\\ab", L"C:\\ab", false},
                                           NameLength{L"C:\\abc", L"C:\\abc", true},
                                           NameLength{L"C:\\Windows\\notepad.exe", L"C:\\Windows\\*.exe", true}));

}  // namespace
}  // namespace quillmark::testing
