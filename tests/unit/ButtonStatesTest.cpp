#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

struct PathPair {
    const char* name;
    const wchar_t* editor;
    const wchar_t* target;
    bool enabled;
};

class ButtonStates : public FormFixture, public ::testing::WithParamInterface<PathPair> {
protected:
    ButtonStates() {
        platform.files.push_back({L"C:\\a"});
        platform.files.push_back({L"C:\\ab"});
        platform.files.push_back({L"C:\\Windows\\notepad.exe"});
        platform.files.push_back({L"C:\\Folder", true});
        platform.files.push_back({L"C:\\hidden.exe", false, true});
    }
};

TEST_P(ButtonStates, FollowBothPathBoxes) {
    form.OnEvent(WindowEvent::Initialize);
    form.OnEvent(WindowEvent::Load);
    platform.Type({L"txtResHack"}, GetParam().editor);
    platform.Type({L"txtExe"}, GetParam().target);
    EXPECT_EQ(platform.IsEnabled({L"Command1"}), GetParam().enabled);
    EXPECT_EQ(platform.IsEnabled({L"cmdView"}), GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ButtonStates,
    ::testing::Values(PathPair{"BothValid", L"C:\\RH\\ResHacker.exe", L"D:\\Work\\app.exe", true},
                      PathPair{"EditorEmpty", L"", L"D:\\Work\\app.exe", false},
                      PathPair{"TargetEmpty", L"C:\\RH\\ResHacker.exe", L"", false},
                      PathPair{"BothEmpty", L"", L"", false},
                      PathPair{"EditorMissing", L"C:\\RH\\Gone.exe", L"D:\\Work\\app.exe", false},
                      PathPair{"TargetMissing", L"C:\\RH\\ResHacker.exe", L"D:\\Work\\gone.exe", false},
                      PathPair{"OneCharacterName", L"C:\\RH\\ResHacker.exe", L"C:\\a", false},
                      PathPair{"TwoCharacterName", L"C:\\RH\\ResHacker.exe", L"C:\\ab", true},
                      PathPair{"Directory", L"C:\\RH\\ResHacker.exe", L"C:\\Folder", false},
                      PathPair{"HiddenFile", L"C:\\RH\\ResHacker.exe", L"C:\\hidden.exe", false},
                      PathPair{"WildcardPattern", L"C:\\RH\\ResHacker.exe", L"C:\\Windows\\*.exe", true},
                      PathPair{"CaseDiffers", L"c:\\rh\\RESHACKER.EXE", L"D:\\Work\\app.exe", true},
                      PathPair{"Placeholder", L"(【参照】で指定してください。)", L"D:\\Work\\app.exe", false}),
    [](const ::testing::TestParamInfo<PathPair>& param) { return std::string(param.param.name); });

class FileChoosing : public FormFixture {};

TEST_F(FileChoosing, ClearingEitherBoxDisablesBoth) {
    StartWithPaths();
    ASSERT_TRUE(platform.IsEnabled({L"Command1"}));
    platform.Type({L"txtExe"}, L"");
    EXPECT_FALSE(platform.IsEnabled({L"Command1"}));
    EXPECT_FALSE(platform.IsEnabled({L"cmdView"}));
    platform.Type({L"txtExe"}, kTarget);
    platform.Type({L"txtResHack"}, L"");
    EXPECT_FALSE(platform.IsEnabled({L"Command1"}));
    EXPECT_FALSE(platform.IsEnabled({L"cmdView"}));
}

TEST_F(FileChoosing, BothButtonsStartDisabled) {
    EXPECT_FALSE(platform.IsEnabled({L"Command1"}));
    EXPECT_FALSE(platform.IsEnabled({L"cmdView"}));
}

TEST_F(FileChoosing, TheTargetDialogFillsItsBoxAndEnablesTheButtons) {
    StartWithPaths(kEditor, L"");
    platform.openDialogAnswers.push_back(std::wstring(kTarget));
    Press(L"cmdOpenExe");
    EXPECT_EQ(Utf8(platform.calls.at(0)), Utf8(L"OpenDialog filter=実行ファイル (*.exe)|*.exe hideReadOnly=1 index=1"));
    EXPECT_EQ(platform.GetText({L"txtExe"}), kTarget);
    EXPECT_TRUE(platform.IsEnabled({L"Command1"}));
    EXPECT_TRUE(platform.IsEnabled({L"cmdView"}));
}

TEST_F(FileChoosing, TheEditorDialogUsesItsOwnFilter) {
    StartWithPaths(L"", kTarget);
    platform.openDialogAnswers.push_back(std::wstring(kEditor));
    Press(L"cmdOpenHack");
    EXPECT_EQ(Utf8(platform.calls.at(0)),
              Utf8(L"OpenDialog filter=ResHacker (ResHacker.exe)|ResHacker.exe hideReadOnly=1 index=1"));
    EXPECT_EQ(platform.GetText({L"txtResHack"}), kEditor);
    EXPECT_TRUE(platform.IsEnabled({L"Command1"}));
}

TEST_F(FileChoosing, CancellingLeavesTheBoxAndShowsNothing) {
    StartWithPaths();
    platform.openDialogAnswers.push_back(std::nullopt);
    Press(L"cmdOpenExe");
    EXPECT_EQ(platform.GetText({L"txtExe"}), kTarget);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.IsEnabled({L"Command1"}));
}

TEST_F(FileChoosing, TheExitButtonSavesAndEnds) {
    StartWithPaths();
    Press(L"cmdEnd");
    EXPECT_FALSE(platform.CallsStartingWith(L"WriteProfile").empty());
    EXPECT_EQ(platform.calls.back(), L"EndProgram");
    EXPECT_TRUE(platform.ended);
}

}  // namespace
}  // namespace quillmark::testing
