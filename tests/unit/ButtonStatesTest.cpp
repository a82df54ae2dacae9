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

using Edit = std::function<void(verify::ExpectedVersion&)>;

struct LoadCase {
    const char* name;
    Edit fileHolds;            // changes to the sample; the fields are first-run's
    bool fieldsHoldTheSample;  // else first-run's
    const wchar_t* asked;      // a part of the question; nullptr: nothing asked
    ControlRef box;            // and what it holds after Yes
    std::wstring afterYes;
};

class VersionLoading : public FormFixture, public ::testing::WithParamInterface<LoadCase> {
protected:
    void Choose(const Edit& fileHolds, bool fieldsHoldTheSample, Answer answer) {
        StartWithPaths(kEditor, L"");
        const auto sample = SampleVersion();
        for (int f = 0; fieldsHoldTheSample && f < 10; ++f) {
            if (!IsVersionField(f)) platform.Type({L"txtInfo", f}, sample.strings[static_cast<std::size_t>(f)].second);
        }
        if (fieldsHoldTheSample) SetVersions(L"1", L"2", L"3", L"12", L"34", L"5678");
        auto values = sample;
        if (fileHolds) fileHolds(values);
        platform.shownVersionBlocks[kTarget] = {{true, {}}, VersionBlock(values)};
        platform.openDialogAnswers.push_back(std::wstring(kTarget));
        platform.messageAnswers.push_back(answer);
        Press(L"cmdOpenExe");
    }
};

TEST_P(VersionLoading, AsksOnlyWhenAFieldWouldChangeAndYesLoads) {
    const LoadCase& c = GetParam();
    Choose(c.fileHolds, c.fieldsHoldTheSample, Answer::Yes);
    if (c.asked == nullptr) {
        EXPECT_TRUE(platform.messages.empty());
        return;
    }
    ASSERT_EQ(platform.CallsStartingWith(L"MessageBox Information YesNo default=No").size(), 1u);
    EXPECT_NE(platform.messages[0].find(c.asked), std::wstring::npos) << Utf8(platform.messages[0]);
    EXPECT_EQ(Utf8(platform.GetText(c.box)), Utf8(c.afterYes));
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionLoading,
    ::testing::Values(
        LoadCase{"VersionsThatFit", {}, false, L"・FileVersion: 「1.2.3」 ← 「1.0.0」", {L"txtProductVer", 2}, L"5678"},
        LoadCase{"AVersionOutOfTheBoxesRange",
                 [](auto& v) {
                     v.fixed.product = {1, 2, 3, 4};
                 },
                 false,
                 L"製品バージョン 1.2.3.4 は入力欄の範囲 (0～99, 0～99, 0, 0～9999) に収まらないため、読み込みません。",
                 {L"txtProductVer", 1},
                 L"0"},
        LoadCase{"AMissingKeyEmptiesItsField",
                 [](auto& v) { v.strings.erase(v.strings.begin() + 4); },
                 false,
                 L"・LegalTrademarks: 「」 ← 「LegalTrademarks」",
                 {L"txtInfo", 4},
                 L""},
        LoadCase{"ValuesAsTheFieldsAskNothing", {}, true, nullptr, {}, L""},
        LoadCase{"WhatCannotBeEnteredIsNoReasonToAsk",
                 [](auto& v) {
                     v.fixed.file = {10, 0, 19041, 1};
                 },
                 true,
                 nullptr,
                 {},
                 L""},
        LoadCase{"LineBreaksBecomeBlanks",
                 [](auto& v) { v.strings[0].second = L"一\r\n二\r三\n四"; },
                 false,
                 L"Comments: 改行は 1 つの空白にして",
                 {L"txtInfo", 0},
                 L"一 二 三 四"},
        LoadCase{"AQuoteIsNamed",
                 [](auto& v) { v.strings[1].second = L"say \"hi\""; },
                 false,
                 L"CompanyName: 「\"」か「\\」を含むため",
                 {L"txtInfo", 1},
                 L"say \"hi\""},
        LoadCase{"ACharacterOutsideTheCodePageIsNamed",
                 [](auto& v) { v.strings[3].second = L"© 2024"; },
                 false,
                 L"LegalCopyright: 「©」 はシステムの ANSI",
                 {L"txtInfo", 3},
                 L"© 2024"},
        LoadCase{"ALongValueIsCutInTheQuestion",
                 [](auto& v) { v.strings[0].second = std::wstring(70, L'x'); },
                 false,
                 L"「xxxxxxxxxxxxxxxxxxxx…」",
                 {L"txtInfo", 0},
                 std::wstring(70, L'x')},
        LoadCase{"ManyChangesAreCounted",
                 {},
                 false,
                 L"・ProductVersion: 「12.34.5678」 ← 「1.0.0」\r\n(ほか 2 件)\r\n",
                 {L"txtInfo", 9},
                 L"app.exe"},
        LoadCase{
            "ManyCharactersOutsideTheCodePageAreCounted",
            [](auto& v) {
                for (wchar_t c = 0xAC00; c < 0xAC00 + 2000; ++c) v.strings[0].second.push_back(c);
            },
            false,
            L"Comments: 「가」「각」「갂」「갃」「간」「갅」「갆」「갇」「갈」「갉」(ほか 1990 文字) はシステムの ANSI",
            {L"txtInfo", 1},
            L"Quillmark 株式会社"},
        LoadCase{"ManyValuesThatCannotBeEnteredAreCounted",
                 [](auto& v) {
                     for (auto& string : v.strings) string.second = L"a\"\r\nb";
                 },
                 false,
                 L"(ほか 12 件)\r\n(「いいえ」を選ぶと",
                 {L"txtInfo", 5},
                 L"a\" b"}),
    [](const ::testing::TestParamInfo<LoadCase>& param) { return std::string(param.param.name); });

TEST_F(VersionLoading, NoKeepsTheFieldsAndATypedPathAsksNothing) {
    Choose({}, false, Answer::No);
    EXPECT_EQ(platform.GetText({L"txtInfo", 1}), L"CompanyName");
    platform.messages.clear();
    platform.Type({L"txtExe"}, kTarget);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(VersionLoading, TheMenuLoadsWithoutAQuestionOrSaysWhyNot) {
    struct MenuCase {
        std::wstring target;
        const wchar_t* says;  // the message begins so; nullptr: loaded
    };
    platform.files = {{kEditor}, {kTarget}, {L"C:\\Tools\\initial.res"}, {L"D:\\a.exe"}};
    platform.fileBytes[L"D:\\a.exe"] = std::vector<std::uint8_t>(200, 'x');
    const MenuCase cases[] = {
        {L"D:\\gone.exe", L"読み込む実行ファイルが見つかりません。"},
        {L"D:\\a.exe", L"Windows のプログラムではないため、バージョン情報を読み込めません。"},
        {kTarget, L"この実行ファイルにはバージョン情報がありません。"},
        {kTarget, nullptr},
    };
    StartWithPaths();
    for (const MenuCase& c : cases) {
        if (c.says == nullptr) platform.shownVersionBlocks[kTarget] = {{true, {}}, VersionBlock(SampleVersion())};
        platform.Type({L"txtExe"}, c.target);
        platform.messages.clear();
        form.OnEvent(WindowEvent::MenuClick, {L"mnuLoadFromExe"});
        const std::wstring said = platform.messages.empty() ? L"" : platform.messages[0];
        EXPECT_TRUE(c.says ? said.rfind(c.says, 0) == 0 : said.empty()) << Utf8(c.target) << ": " << Utf8(said);
        EXPECT_EQ(platform.GetText({L"txtInfo", 1}), c.says ? L"CompanyName" : L"Quillmark 株式会社");
    }
}

}  // namespace
}  // namespace quillmark::testing
