#include <gtest/gtest.h>

#include <functional>

#include "tests/support/FormFixture.h"
#include "ui/FieldTable.h"

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

// --- the version information of a chosen target, loaded into the fields ---

struct LoadCase {
    const char* name;
    std::function<void(verify::ExpectedVersion&)> fileHolds;  // changes to the sample; the fields are first-run's
    bool fieldsHoldTheSample;
    std::vector<std::wstring> question;  // parts of it; empty: nothing asked
    std::vector<std::pair<ControlRef, std::wstring>> afterYes;
};

class VersionLoading : public FormFixture, public ::testing::WithParamInterface<LoadCase> {
protected:
    void TypeSample() {
        const auto sample = SampleVersion();
        for (int f = 0; f < 10; ++f) {
            if (!IsVersionField(f)) platform.Type({L"txtInfo", f}, sample.strings[static_cast<std::size_t>(f)].second);
        }
        SetVersions(L"1", L"2", L"3", L"12", L"34", L"5678");
    }
    void TargetHolds(const verify::ExpectedVersion& values) {
        platform.shownVersionBlocks[kTarget] = {{true, {}}, VersionBlock(values)};
    }
};

TEST_P(VersionLoading, AsksOnlyWhenAFieldWouldChangeAndYesLoads) {
    const LoadCase& c = GetParam();
    StartWithPaths(kEditor, L"");
    if (c.fieldsHoldTheSample) TypeSample();
    auto values = SampleVersion();
    if (c.fileHolds) c.fileHolds(values);
    TargetHolds(values);
    platform.openDialogAnswers.push_back(std::wstring(kTarget));
    platform.messageAnswers.push_back(Answer::Yes);
    Press(L"cmdOpenExe");
    if (c.question.empty()) {
        EXPECT_TRUE(platform.messages.empty()) << Utf8(platform.messages.at(0));
        return;
    }
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.CallsStartingWith(L"MessageBox Information YesNo default=No").size(), 0u);
    for (const std::wstring& part : c.question) {
        EXPECT_NE(platform.messages[0].find(part), std::wstring::npos) << Utf8(part) << "\n"
                                                                       << Utf8(platform.messages[0]);
    }
    for (const auto& [control, text] : c.afterYes) EXPECT_EQ(Utf8(platform.GetText(control)), Utf8(text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionLoading,
    ::testing::Values(LoadCase{"VersionsThatFit",
                               {},
                               false,
                               {L"D:\\Work\\app.exe", L"CompanyName: 「Quillmark 株式会社」 ← 「CompanyName」",
                                L"FileVersion: 「1.2.3」 ← 「1.0.0」"},
                               {{{L"txtInfo", 1}, L"Quillmark 株式会社"},
                                {{L"txtFileVer", 1}, L"2"},
                                {{L"txtFileVer", 2}, L"3"},
                                {{L"txtProductVer", 0}, L"12"},
                                {{L"txtProductVer", 2}, L"5678"}}},
                      LoadCase{
                          "AVersionOutOfTheBoxesRange",
                          [](verify::ExpectedVersion& v) {
                              v.fixed.file = {10, 0, 19041, 1};
                          },
                          false,
                          {L"ファイルバージョン 10.0.19041.1 は入力欄の範囲 (0～99, 0～99, 0, 0～9999) "
                           L"に収まらないため、読み込みません。"},
                          {{{L"txtFileVer", 0}, L"1"}, {{L"txtFileVer", 2}, L"0"}, {{L"txtProductVer", 1}, L"34"}}},
                      LoadCase{"AThirdNumberOtherThanZero",
                               [](verify::ExpectedVersion& v) {
                                   v.fixed.product = {1, 2, 3, 4};
                               },
                               false,
                               {L"製品バージョン 1.2.3.4 は入力欄の範囲"},
                               {{{L"txtProductVer", 1}, L"0"}, {{L"txtFileVer", 1}, L"2"}}},
                      LoadCase{"AMissingKeyEmptiesItsField",
                               [](verify::ExpectedVersion& v) { v.strings.erase(v.strings.begin() + 4); },
                               false,
                               {L"LegalTrademarks: 「」 ← 「LegalTrademarks」"},
                               {{{L"txtInfo", 4}, L""}}},
                      LoadCase{"ValuesAsTheFieldsAskNothing", {}, true, {}, {}},
                      LoadCase{"WhatCannotBeEnteredIsNoReasonToAsk",
                               [](verify::ExpectedVersion& v) {
                                   v.fixed.file = {10, 0, 19041, 1};
                               },
                               true,
                               {},
                               {}},
                      LoadCase{"LineBreaksBecomeBlanks",
                               [](verify::ExpectedVersion& v) { v.strings[0].second = L"一行目\r\n二行目\r三\n四"; },
                               false,
                               {L"Comments: 改行は 1 つの空白にして読み込みます。"},
                               {{{L"txtInfo", 0}, L"一行目 二行目 三 四"}}},
                      LoadCase{"AQuoteIsNamed",
                               [](verify::ExpectedVersion& v) { v.strings[1].second = L"say \"hi\""; },
                               false,
                               {L"CompanyName: 「\"」か「\\」を含むため"},
                               {{{L"txtInfo", 1}, L"say \"hi\""}}},
                      LoadCase{"ACharacterOutsideTheCodePageIsNamed",
                               [](verify::ExpectedVersion& v) { v.strings[3].second = L"© 2024"; },
                               false,
                               {L"LegalCopyright: 「©」 はシステムの ANSI コード ページにない文字"},
                               {{{L"txtInfo", 3}, L"© 2024"}}},
                      LoadCase{"ALongValueIsCutInTheQuestion",
                               [](verify::ExpectedVersion& v) { v.strings[0].second = std::wstring(100, L'x'); },
                               false,
                               {L"「" + std::wstring(60, L'x') + L"…」"},
                               {{{L"txtInfo", 0}, std::wstring(100, L'x')}}}),
    [](const ::testing::TestParamInfo<LoadCase>& param) { return std::string(param.param.name); });

TEST_F(VersionLoading, NoChangesNothing) {
    StartWithPaths(kEditor, L"");
    TargetHolds(SampleVersion());
    platform.openDialogAnswers.push_back(std::wstring(kTarget));
    platform.messageAnswers.push_back(Answer::No);
    Press(L"cmdOpenExe");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.GetText({L"txtInfo", 1}), L"CompanyName");
    EXPECT_EQ(platform.GetText({L"txtFileVer", 1}), L"0");
}

TEST_F(VersionLoading, ADropOnTheTargetBoxAsksAndATypedPathDoesNot) {
    StartWithPaths(kEditor, L"");
    TargetHolds(SampleVersion());
    platform.Type({L"txtExe"}, kTarget);
    EXPECT_TRUE(platform.messages.empty());
    form.Form_DropFiles({kTarget}, {L"txtExe"});
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(VersionLoading, TheMenuLoadsWithoutAQuestionAndNamesWhatItCouldNotEnter) {
    StartWithPaths();
    auto values = SampleVersion();
    values.fixed.file = {10, 0, 19041, 1};
    TargetHolds(values);
    form.OnEvent(WindowEvent::MenuClick, {L"mnuLoadFromExe"});
    EXPECT_EQ(platform.GetText({L"txtInfo", 1}), L"Quillmark 株式会社");
    EXPECT_EQ(platform.GetText({L"txtProductVer", 2}), L"5678");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.CallsStartingWith(L"MessageBox Warning Ok").size(), 1u);
    EXPECT_NE(platform.messages[0].find(L"ファイルバージョン 10.0.19041.1 は"), std::wstring::npos);
}

TEST_F(VersionLoading, TheMenuSaysWhyThereIsNothingToLoad) {
    struct NothingCase {
        const char* what;
        std::wstring target;
        std::wstring says;
    };
    platform.files.push_back({L"D:\\Work\\notes.exe"});
    platform.fileBytes[L"D:\\Work\\notes.exe"] = std::vector<std::uint8_t>(200, 'x');
    platform.files.push_back({L"D:\\Work\\old.exe"});
    platform.fileBytes[L"D:\\Work\\old.exe"] = SyntheticPe({});
    platform.shownVersionBlocks[L"D:\\Work\\old.exe"] = {{true, {}}, SixteenBitVersionBlock(SampleVersion())};
    const NothingCase cases[] = {
        {"no such file", L"D:\\Work\\gone.exe", L"読み込む実行ファイルが見つかりません。"},
        {"not a program", L"D:\\Work\\notes.exe",
         L"Windows のプログラムではないため、バージョン情報を読み込めません。"},
        {"no version information", kTarget, L"この実行ファイルにはバージョン情報がありません。"},
        {"16-bit version information", L"D:\\Work\\old.exe", L"この実行ファイルのバージョン情報は古い 16 ビット形式"},
    };
    StartWithPaths();
    for (const NothingCase& c : cases) {
        SCOPED_TRACE(c.what);
        platform.Type({L"txtExe"}, c.target);
        platform.messages.clear();
        form.OnEvent(WindowEvent::MenuClick, {L"mnuLoadFromExe"});
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].rfind(c.says, 0), 0u) << Utf8(platform.messages[0]);
        EXPECT_EQ(platform.GetText({L"txtInfo", 1}), L"CompanyName");
    }
}

}  // namespace
}  // namespace quillmark::testing
