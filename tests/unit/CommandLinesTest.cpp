#include <gtest/gtest.h>

#include "press/CommandLines.h"
#include "tests/support/RecordingPlatform.h"

namespace quillmark {
namespace {

using testing::Utf8;

struct BackupCase {
    const wchar_t* target;
    const wchar_t* backup;  // nullptr: no backup path
};

class BackupPaths : public ::testing::TestWithParam<BackupCase> {};

TEST_P(BackupPaths, DropTheLastFourCharacters) {
    const auto backup = BackupPathFor(GetParam().target);
    if (GetParam().backup == nullptr) {
        EXPECT_FALSE(backup.has_value());
        return;
    }
    ASSERT_TRUE(backup.has_value());
    EXPECT_EQ(Utf8(*backup), Utf8(GetParam().backup));
    // Always beside the target, never in another folder.
    const std::wstring target = GetParam().target;
    const std::size_t folderEnd = target.find_last_of(L"\\/:") + 1;
    EXPECT_EQ(Utf8(backup->substr(0, folderEnd)), Utf8(target.substr(0, folderEnd)));
    EXPECT_EQ(backup->find_first_of(L"\\/:", folderEnd), std::wstring::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BackupPaths,
    ::testing::Values(BackupCase{L"D:\\Work\\app.exe", L"D:\\Work\\app_original.exe"},
                      BackupCase{L"D:\\Work\\APP.EXE", L"D:\\Work\\APP_original.exe"},
                      BackupCase{L"D:\\Work\\tool.com", L"D:\\Work\\tool_original.exe"},
                      BackupCase{L"D:\\Work\\setup", L"D:\\Work\\s_original.exe"},
                      BackupCase{L"D:\\Work\\app_original.exe", L"D:\\Work\\app_original_original.exe"},
                      // four characters that reach into the folder: the whole name stays
                      BackupCase{L"D:\\Tools\\ab", L"D:\\Tools\\ab_original.exe"},
                      BackupCase{L"D:\\abc", L"D:\\abc_original.exe"},
                      BackupCase{L"D:/Tools/ab", L"D:/Tools/ab_original.exe"}, BackupCase{L"a.ex", L"_original.exe"},
                      BackupCase{L"abc", nullptr}, BackupCase{L"", nullptr}));

TEST(CommandLines, InteractiveLaunchQuotesBothPathsWithOneBlankBetween) {
    EXPECT_EQ(Utf8(InteractiveCommandLine(Quoted(L"C:\\RH\\ResHacker.exe"), QuotedResourcePath(L"C:\\Tools\\"))),
              Utf8(L"\"C:\\RH\\ResHacker.exe\" \"C:\\Tools\\initial.res\""));
}

TEST(CommandLines, MergeRunsDifferOnlyInTheVerb) {
    const std::wstring editor = Quoted(L"C:\\RH\\ResHacker.exe");
    const std::wstring res = QuotedResourcePath(L"C:\\Tools\\");
    EXPECT_EQ(
        Utf8(MergeCommandLine(editor, kAddSkipVerb, L"D:\\My Work\\app_original.exe", L"D:\\My Work\\app.exe", res)),
        Utf8(L"\"C:\\RH\\ResHacker.exe\" -addskip D:\\My Work\\app_original.exe, D:\\My Work\\app.exe, "
             L"\"C:\\Tools\\initial.res\" ,,,"));
    EXPECT_EQ(Utf8(MergeCommandLine(editor, kModifyVerb, L"b", L"t", res)),
              Utf8(L"\"C:\\RH\\ResHacker.exe\" -modify b, t, \"C:\\Tools\\initial.res\" ,,,"));
}

}  // namespace
}  // namespace quillmark
