#include <gtest/gtest.h>

#include <vector>

#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

constexpr const wchar_t* kDroppedEditor = L"E:\\Tools\\reshacker.EXE";
constexpr const wchar_t* kDroppedTarget = L"E:\\Drop\\tool.exe";

// Files dropped on the window, or named on the command line at start-up.
enum class Via { Drop, CommandLine };

struct DropCase {
    const char* name;
    std::vector<std::wstring> files;
    ControlRef underDrop;
    const wchar_t* filledBox;  // nullptr: the drop changes nothing
    const wchar_t* path;
    Via via = Via::Drop;
    const wchar_t* editorToo = nullptr;  // the command line's editor beside a target
    const wchar_t* says = nullptr;       // the message about unusable arguments
};

class FileDrop : public FormFixture, public ::testing::WithParamInterface<DropCase> {
protected:
    FileDrop() {
        platform.files.push_back({kDroppedEditor});
        platform.files.push_back({kDroppedTarget});
        platform.files.push_back({L"E:\\Drop\\Folder", true});
        platform.files.push_back({L"E:\\Drop\\ResHacker.exe", true});
        platform.files.push_back({L"E:\\Drop\\hidden.exe", false, true});
        platform.files.push_back({L"E:\\Drop\\other.exe"});
        platform.currentFolder = L"E:\\Drop";
        platform.shortPaths[kDroppedEditor] = L"E:\\TOOLS~1\\RESHAC~1.EXE";
    }
};

// A first run: a box the command line does not fill keeps its placeholder.
void ExpectCommandLineFilled(RecordingPlatform& platform, const DropCase& c) {
    const std::wstring placeholder = L"(【参照】で指定してください。)";
    const bool fillsEditor = c.filledBox != nullptr && std::wstring(c.filledBox) == L"txtResHack";
    const std::wstring editor = c.editorToo != nullptr ? c.editorToo : fillsEditor ? c.path : placeholder;
    const std::wstring target = c.filledBox != nullptr && !fillsEditor ? c.path : placeholder;
    EXPECT_EQ(platform.GetText({L"txtResHack"}), editor);
    EXPECT_EQ(platform.GetText({L"txtExe"}), target);
    EXPECT_EQ(platform.IsEnabled({L"Command1"}), editor != placeholder && target != placeholder);
    ASSERT_EQ(platform.messages.size(), c.says != nullptr ? 1u : 0u);
    if (c.says != nullptr) {
        EXPECT_NE(platform.messages[0].find(c.says), std::wstring::npos) << Utf8(platform.messages[0]);
    }
}

// The box the drop fills starts empty and the other one valid, so that the
// buttons show whether the box's change event ran.
TEST_P(FileDrop, FillsTheRightPathBoxAndRaisesItsChange) {
    const DropCase& c = GetParam();
    if (c.via == Via::CommandLine) {
        platform.programArguments = c.files;
        form.OnEvent(WindowEvent::Initialize);
        form.OnEvent(WindowEvent::Load);
        ExpectCommandLineFilled(platform, c);
        return;
    }
    const bool fillsEditor = c.filledBox != nullptr && std::wstring(c.filledBox) == L"txtResHack";
    const std::wstring editor = fillsEditor ? L"" : kEditor;
    const std::wstring target = fillsEditor ? kTarget : L"";
    StartWithPaths(editor, target);
    ASSERT_FALSE(platform.IsEnabled({L"Command1"}));

    form.Form_DropFiles(c.files, c.underDrop);

    EXPECT_EQ(platform.GetText({L"txtResHack"}), fillsEditor ? c.path : editor);
    EXPECT_EQ(platform.GetText({L"txtExe"}), c.filledBox != nullptr && !fillsEditor ? c.path : target);
    EXPECT_EQ(platform.IsEnabled({L"Command1"}), c.filledBox != nullptr);
    EXPECT_EQ(platform.IsEnabled({L"cmdView"}), c.filledBox != nullptr);
    EXPECT_TRUE(platform.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileDrop,
    ::testing::Values(
        DropCase{"OntoTheTargetBox", {kDroppedTarget}, {L"txtExe"}, L"txtExe", kDroppedTarget},
        DropCase{"AnEditorOntoTheTargetBox", {kDroppedEditor}, {L"txtExe"}, L"txtExe", kDroppedEditor},
        DropCase{"OntoTheEditorBox", {kDroppedEditor}, {L"txtResHack"}, L"txtResHack", kDroppedEditor},
        DropCase{"AnyFileOntoTheEditorBox", {kDroppedTarget}, {L"txtResHack"}, L"txtResHack", kDroppedTarget},
        DropCase{
            "ElsewhereNamedResHackerInOtherCase", {kDroppedEditor}, {L"lblInfo", 3}, L"txtResHack", kDroppedEditor},
        DropCase{"ElsewhereNamedResHackerAsWritten",
                 {L"C:\\RH\\ResHacker.exe"},
                 {L"Frame1"},
                 L"txtResHack",
                 L"C:\\RH\\ResHacker.exe"},
        DropCase{"ElsewhereOnNoControl", {kDroppedEditor}, {}, L"txtResHack", kDroppedEditor},
        DropCase{"ElsewhereAnyOtherName", {kDroppedTarget}, {L"txtInfo", 1}, L"txtExe", kDroppedTarget},
        DropCase{"FoldersFirstTheFirstFileCounts",
                 {L"E:\\Drop\\Folder", L"E:\\Drop\\ResHacker.exe", kDroppedTarget, kDroppedEditor},
                 {},
                 L"txtExe",
                 kDroppedTarget},
        DropCase{"HiddenFileSkipped",
                 {L"E:\\Drop\\hidden.exe", kDroppedEditor},
                 {L"cmdView"},
                 L"txtResHack",
                 kDroppedEditor},
        DropCase{"OnlyFolders", {L"E:\\Drop\\Folder", L"E:\\Drop\\ResHacker.exe"}, {L"txtExe"}, nullptr, nullptr},
        DropCase{"MissingFile", {L"E:\\Drop\\gone.exe"}, {}, nullptr, nullptr},
        DropCase{"EmptyList", {}, {L"txtResHack"}, nullptr, nullptr},
        DropCase{"CommandLineTargetAndEditor",
                 {kDroppedTarget, kDroppedEditor},
                 {},
                 L"txtExe",
                 kDroppedTarget,
                 Via::CommandLine,
                 kDroppedEditor},
        DropCase{"CommandLineRelativeAndShortPathsMadeWhole",
                 {L"tool.exe", L"E:\\TOOLS~1\\RESHAC~1.EXE"},
                 {},
                 L"txtExe",
                 kDroppedTarget,
                 Via::CommandLine,
                 kDroppedEditor},
        DropCase{"CommandLineEditorAlone", {kDroppedEditor}, {}, L"txtResHack", kDroppedEditor, Via::CommandLine},
        DropCase{"CommandLineTheFirstOfEachKindCounts",
                 {L"", kDroppedTarget, L"E:\\Drop\\other.exe", kDroppedEditor, L"E:\\Drop\\other.exe"},
                 {},
                 L"txtExe",
                 kDroppedTarget,
                 Via::CommandLine,
                 kDroppedEditor},
        DropCase{"CommandLineMissingAndFolderListedWithWhy",
                 {L"gone.exe", L"E:\\Drop\\Folder\"", kDroppedTarget},
                 {},
                 L"txtExe",
                 kDroppedTarget,
                 Via::CommandLine,
                 nullptr,
                 L"コマンドラインで指定された次のパスは使えないため、入力欄に入れていません。\r\n"
                 L"・E:\\Drop\\gone.exe: ファイルが見つかりません\r\n"
                 L"・E:\\Drop\\Folder\\: フォルダーです (ファイルを指定してください)"},
        DropCase{"CommandLineManyUnusableCapped",
                 {L"a1", L"a2", L"a3", L"a4", L"a5", L"a6", L"a7"},
                 {},
                 nullptr,
                 nullptr,
                 Via::CommandLine,
                 nullptr,
                 L"・E:\\Drop\\a5: ファイルが見つかりません\r\n(ほか 2 件)"}),
    [](const ::testing::TestParamInfo<DropCase>& param) { return std::string(param.param.name); });

class FileDropDuringAPress : public FormFixture {};

TEST_F(FileDropDuringAPress, ChangesNothing) {
    StartWithPaths();
    int dropsDuringWaits = 0;
    platform.duringWait = [&] {
        ++dropsDuringWaits;
        form.Form_DropFiles({L"E:\\Drop\\tool.exe"}, {L"txtExe"});
    };
    platform.files.push_back({kDroppedTarget});
    Press(L"Command1");
    EXPECT_GT(dropsDuringWaits, 0);
    EXPECT_EQ(platform.GetText({L"txtExe"}), kTarget);
}

}  // namespace
}  // namespace quillmark::testing
