#include <gtest/gtest.h>

#include <fstream>

#include "platform/portable/PathLookup.h"
#include "tests/support/RecordingPlatform.h"

namespace quillmark {
namespace {

struct MatchCase {
    const wchar_t* pattern;
    const wchar_t* name;
    bool matches;
};

class WildcardMatching : public ::testing::TestWithParam<MatchCase> {};

TEST_P(WildcardMatching, FollowsWindowsRules) {
    EXPECT_EQ(portable::WildcardMatch(GetParam().pattern, GetParam().name), GetParam().matches)
        << testing::Utf8(GetParam().pattern) << " ~ " << testing::Utf8(GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Cases, WildcardMatching,
                         ::testing::Values(MatchCase{L"*.exe", L"app.exe", true}, MatchCase{L"*.exe", L"APP.EXE", true},
                                           MatchCase{L"*.exe", L"app.exe.txt", false},
                                           MatchCase{L"a?p.exe", L"app.exe", true},
                                           MatchCase{L"a?p.exe", L"ap.exe", false}, MatchCase{L"*", L"x", true},
                                           MatchCase{L"ResHacker.exe", L"reshacker.EXE", true},
                                           MatchCase{L"a*b*c", L"aXbYbZc", true}, MatchCase{L"a*b*c", L"aXbYbZ", false},
                                           MatchCase{L"", L"x", false}, MatchCase{L"**", L"", true},
                                           MatchCase{L"設定.ini", L"設定.ini", true}));

class LocalPathLookup : public ::testing::Test {
protected:
    LocalPathLookup() {
        std::string folderTemplate = (std::filesystem::temp_directory_path() / "quillmark-lookup-XXXXXX").string();
        folder = mkdtemp(folderTemplate.data());
        std::ofstream(folder / "app.exe") << "x";
        std::ofstream(folder / ".hidden.exe") << "x";
        std::filesystem::create_directory(folder / "dir.exe");
    }
    ~LocalPathLookup() override { std::filesystem::remove_all(folder); }
    std::wstring In(const std::wstring& name) const { return (folder / name).wstring(); }
    std::filesystem::path folder;
};

TEST_F(LocalPathLookup, FindsNormalFilesOnly) {
    EXPECT_EQ(portable::FindFirstNormalFile(In(L"app.exe")), L"app.exe");
    EXPECT_EQ(portable::FindFirstNormalFile(In(L"APP.EXE")), L"app.exe");
    EXPECT_EQ(portable::FindFirstNormalFile(In(L"*.exe")), L"app.exe");  // not the folder, not the hidden file
    EXPECT_EQ(portable::FindFirstNormalFile(In(L"dir.exe")), L"");
    EXPECT_EQ(portable::FindFirstNormalFile(In(L".hidden.exe")), L"");
    EXPECT_EQ(portable::FindFirstNormalFile(In(L"gone.exe")), L"");
    EXPECT_EQ(portable::FindFirstNormalFile(In(L"no such folder/app.exe")), L"");
    EXPECT_EQ(portable::FindFirstNormalFile(L""), L"");
    EXPECT_EQ(portable::FindFirstNormalFile(folder.wstring() + L"/"), L"");
}

}  // namespace
}  // namespace quillmark
