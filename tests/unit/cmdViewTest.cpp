#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

class CheckButton : public FormFixture {};

TEST_F(CheckButton, AsksTheShellForTheTargetsPropertiesOwnedByTheWindow) {
    StartWithPaths();
    Press(L"cmdView");
    ASSERT_EQ(platform.calls, std::vector<std::wstring>{L"ShellExecuteEx D:\\Work\\app.exe"});
    const ShellExecuteRequest& r = *platform.lastShellRequest;
    EXPECT_EQ(r.mask, 0x44Cu);
    EXPECT_TRUE(r.ownedByMainWindow);
    EXPECT_EQ(r.verb, L"properties");
    EXPECT_EQ(r.parameters, L"");
    EXPECT_EQ(r.directory, L"");
    EXPECT_EQ(r.show, 0);
}

TEST_F(CheckButton, ADeletedTargetShowsTheMessageAndNoSheet) {
    StartWithPaths();
    platform.files.erase(platform.files.begin() + 1);
    Press(L"cmdView");
    ASSERT_EQ(platform.calls.size(), 1u);
    EXPECT_EQ(Utf8(platform.calls[0]),
              Utf8(L"MessageBox style=0 title=Quillmark text=確認するファイルが見つかりません。"));
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
    EXPECT_EQ(platform.lastShellRequest.has_value(), GetParam().opensSheet);
    EXPECT_EQ(platform.messages.empty(), GetParam().opensSheet);
    if (GetParam().opensSheet) {
        EXPECT_EQ(platform.lastShellRequest->file, GetParam().target);  // as typed, not the name found
    }
}

INSTANTIATE_TEST_SUITE_P(Names, CheckButtonNames,
                         ::testing::Values(NameLength{L"C:\\ab", L"C:\\ab", false},
                                           NameLength{L"C:\\abc", L"C:\\abc", true},
                                           NameLength{L"C:\\Windows\\notepad.exe", L"C:\\Windows\\*.exe", true}));

}  // namespace
}  // namespace quillmark::testing
