#include <gtest/gtest.h>

#include <vector>

#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

constexpr const wchar_t* kDroppedEditor = L"E:\\Tools\\reshacker.EXE";
constexpr const wchar_t* kDroppedTarget = L"E:\\Drop\\tool.exe";

struct DropCase {
    const char* name;
    std::vector<std::wstring> files;
    ControlRef underDrop;
    const wchar_t* filledBox;  // nullptr: the drop changes nothing
    const wchar_t* path;
};

class FileDrop : public FormFixture, public ::testing::WithParamInterface<DropCase> {
protected:
    FileDrop() {
        platform.files.push_back({kDroppedEditor});
        platform.files.push_back({kDroppedTarget});
        platform.files.push_back({L"E:\\Drop\\Folder", true});
        platform.files.push_back({L"E:\\Drop\\ResHacker.exe", true});
        platform.files.push_back({L"E:\\Drop\\hidden.exe", false, true});
    }
};

// The box the drop fills starts empty and the other one valid, so that the
// buttons show whether the box's change event ran.
TEST_P(FileDrop, FillsTheRightPathBoxAndRaisesItsChange) {
    const DropCase& c = GetParam();
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
        DropCase{"EmptyList", {}, {L"txtResHack"}, nullptr, nullptr}),
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
