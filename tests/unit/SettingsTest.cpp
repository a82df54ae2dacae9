#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "platform/portable/ProfileText.h"
#include "tests/support/FormFixture.h"

namespace quillmark::testing {
namespace {

const std::wstring kIni = L"C:\\Tools\\Quillmark.ini";
const std::wstring kPlaceholder = L"(【参照】で指定してください。)";

class Settings : public FormFixture {
protected:
    void WriteIni(const std::string& utf8) { std::ofstream(platform.ProfileFileFor(kIni), std::ios::binary) << utf8; }
    void Load() {
        form.OnEvent(WindowEvent::Initialize);
        form.OnEvent(WindowEvent::Load);
    }
    std::array<std::wstring, 3> Row(const wchar_t* name) {
        return {platform.GetText({name, 0}), platform.GetText({name, 1}), platform.GetText({name, 2})};
    }
    std::string IniText() {
        std::ifstream in(platform.ProfileFileFor(kIni), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(Settings, FirstRunShowsPlaceholdersAndKeyNames) {
    Load();
    EXPECT_EQ(platform.GetText({L"txtResHack"}), kPlaceholder);
    EXPECT_EQ(platform.GetText({L"txtExe"}), kPlaceholder);
    const std::array<const wchar_t*, 10> keys{
        L"Comments", L"CompanyName", L"FileDescription", L"LegalCopyright",  L"LegalTrademarks", L"ProductName",
        nullptr,     nullptr,        L"InternalName",    L"OriginalFilename"};
    for (int i = 0; i < 10; ++i) {
        if (keys[static_cast<std::size_t>(i)] != nullptr) {
            EXPECT_EQ(platform.GetText({L"txtInfo", i}), keys[static_cast<std::size_t>(i)]);
        }
    }
    EXPECT_EQ(Row(L"txtFileVer"), (std::array<std::wstring, 3>{L"1", L"0", L"0"}));
    EXPECT_EQ(Row(L"txtProductVer"), (std::array<std::wstring, 3>{L"1", L"0", L"0"}));
    // initial.res is read, not only looked for
    EXPECT_EQ(platform.calls,
              (std::vector<std::wstring>{L"ShowMainWindow", L"Read C:\\Tools\\initial.res 0+16777217"}));
    EXPECT_FALSE(std::filesystem::exists(platform.ProfileFileFor(kIni)));  // nothing written at load
    EXPECT_FALSE(platform.IsEnabled({L"Command1"}));
}

TEST_F(Settings, RestoresPathsFieldsAndPackedVersions) {
    WriteIni(
        "[Files]\r\nResHacker=C:\\RH\\ResHacker.exe\r\nLastExeFile=D:\\Work\\app.exe\r\n[VerInfo]\r\n"
        "Info0=注釈\r\nInfo1=会社\r\nInfo2=\r\nInfo5=製品\r\nInfo6=12345678\r\nInfo7=100000000\r\nInfo9=orig.exe\r\n");
    Load();
    EXPECT_EQ(platform.GetText({L"txtResHack"}), kEditor);
    EXPECT_EQ(platform.GetText({L"txtExe"}), kTarget);
    EXPECT_EQ(platform.GetText({L"txtInfo", 0}), L"注釈");
    EXPECT_EQ(platform.GetText({L"txtInfo", 1}), L"会社");
    EXPECT_EQ(platform.GetText({L"txtInfo", 2}), L"");
    EXPECT_EQ(platform.GetText({L"txtInfo", 3}), L"");
    EXPECT_EQ(platform.GetText({L"txtInfo", 9}), L"orig.exe");
    EXPECT_EQ(Row(L"txtFileVer"), (std::array<std::wstring, 3>{L"12", L"34", L"5678"}));
    EXPECT_EQ(Row(L"txtProductVer"), (std::array<std::wstring, 3>{L"10", L"0", L"0"}));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.IsEnabled({L"Command1"}));
}

TEST_F(Settings, FilesSectionOnlyGivesEmptyFieldsAndVersionOne) {
    WriteIni("[Files]\r\nResHacker=C:\\RH\\ResHacker.exe\r\nLastExeFile=D:\\Work\\app.exe\r\n");
    Load();
    EXPECT_EQ(platform.GetText({L"txtInfo", 0}), L"");
    EXPECT_EQ(platform.GetText({L"txtInfo", 8}), L"");
    EXPECT_EQ(Row(L"txtFileVer"), (std::array<std::wstring, 3>{L"1", L"0", L"0"}));
    EXPECT_EQ(Row(L"txtProductVer"), (std::array<std::wstring, 3>{L"1", L"0", L"0"}));
}

struct Unpacking {
    const char* stored;
    std::array<const wchar_t*, 3> boxes;
};

class SettingsUnpacking : public Settings, public ::testing::WithParamInterface<Unpacking> {};

TEST_P(SettingsUnpacking, CutsTwoTwoFour) {
    WriteIni(std::string("[VerInfo]\r\nInfo6=") + GetParam().stored + "\r\n");
    Load();
    const auto& b = GetParam().boxes;
    EXPECT_EQ(Row(L"txtFileVer"), (std::array<std::wstring, 3>{b[0], b[1], b[2]})) << GetParam().stored;
}

INSTANTIATE_TEST_SUITE_P(
    Stored, SettingsUnpacking,
    ::testing::Values(Unpacking{"01020003", {L"1", L"2", L"3"}}, Unpacking{"12345678", {L"12", L"34", L"5678"}},
                      Unpacking{"100000000", {L"10", L"0", L"0"}}, Unpacking{"02000000", {L"2", L"0", L"0"}},
                      Unpacking{"01010000", {L"1", L"1", L"0"}}, Unpacking{"", {L"1", L"0", L"0"}},  // absent or empty
                      Unpacking{"ab", {L"1", L"0", L"0"}},                                           // too short to cut
                      Unpacking{"x1020003", {L"1", L"0", L"0"}}));                                   // not numbers

TEST_F(Settings, AMissingEditorIsReportedWithItsPathBeforeTheWindowShows) {
    WriteIni("[Files]\r\nResHacker=C:\\x\\ab\r\nLastExeFile=D:\\Work\\gone.exe\r\n");
    platform.files.push_back({L"C:\\x\\ab"});  // two characters pass the buttons but not the start-up
    Load();
    ASSERT_GE(platform.calls.size(), 2u);
    EXPECT_EQ(Utf8(platform.calls[0]),
              Utf8(L"MessageBox Warning Ok title=Quillmark text=ResHacker(C:\\x\\ab)が見つかりません。"));
    EXPECT_EQ(platform.calls[1], L"ShowMainWindow");
    EXPECT_EQ(platform.GetText({L"txtResHack"}), kPlaceholder);
    EXPECT_EQ(platform.GetText({L"txtExe"}), kPlaceholder);  // silently
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(Settings, APlaceholderStoredAtTheLastExitIsShownInTheMessage) {
    WriteIni(Utf8(L"[Files]\r\nResHacker=" + kPlaceholder + L"\r\n"));
    Load();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(Utf8(platform.messages[0]), Utf8(L"ResHacker(" + kPlaceholder + L")が見つかりません。"));
    EXPECT_EQ(platform.GetText({L"txtResHack"}), kPlaceholder);
}

TEST_F(Settings, AnEmptyStoredEditorPathCountsAsMissing) {
    WriteIni("[Files]\r\nLastExeFile=D:\\Work\\app.exe\r\n");
    Load();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(Utf8(platform.messages[0]), Utf8(L"ResHacker()が見つかりません。"));
}

struct InitialResCase {
    const char* name;
    std::function<void(RecordingPlatform&)> arrange;
    const wchar_t* message;  // nothing: no message
};

class InitialResAtStartUp : public Settings, public ::testing::WithParamInterface<InitialResCase> {};

TEST_P(InitialResAtStartUp, IsReportedOverTheVisibleWindowWithWhatIsWrong) {
    GetParam().arrange(platform);
    Load();
    ASSERT_EQ(platform.messages.size(), GetParam().message == nullptr ? 0u : 1u);
    EXPECT_EQ(platform.calls[0], L"ShowMainWindow");
    if (GetParam().message != nullptr) {
        EXPECT_EQ(Utf8(platform.messages[0]), Utf8(GetParam().message));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InitialResAtStartUp,
    ::testing::Values(
        InitialResCase{"AsShipped", [](RecordingPlatform&) {}, nullptr},
        InitialResCase{"Missing",
                       [](RecordingPlatform& p) {
                           p.files.pop_back();
                           p.fileBytes.erase(L"C:\\Tools\\initial.res");
                       },
                       L"必要なファイル(initial.res)が見つかりません。\r\nソフトを再インストールしてください。"},
        InitialResCase{"NotAResourceFile",
                       [](RecordingPlatform& p) {
                           p.fileBytes[L"C:\\Tools\\initial.res"] = {'M', 'Z', 0, 0};
                       },
                       L"必要なファイル(initial.res)が壊れています。\r\nC:\\Tools\\initial.res\r\n"
                       L"リソース ファイルとして読めません。\r\nソフトを再インストールしてください。"},
        // what the editor's Ctrl+S wrote after a compile that dropped the resource
        InitialResCase{"EmptyResourceFile",
                       [](RecordingPlatform& p) { p.fileBytes[L"C:\\Tools\\initial.res"] = ResFileOf({}); },
                       L"必要なファイル(initial.res)が壊れています。\r\nC:\\Tools\\initial.res\r\n"
                       L"バージョン情報のリソースが入っていません。\r\nソフトを再インストールしてください。"},
        InitialResCase{"VersionUnreadable",
                       [](RecordingPlatform& p) {
                           p.fileBytes[L"C:\\Tools\\initial.res"] = ResFileOf({{16, 1, 0x0411, {4, 0, 0, 0}}});
                       },
                       L"必要なファイル(initial.res)が壊れています。\r\nC:\\Tools\\initial.res\r\n"
                       L"バージョン情報のリソースを読み取れません。\r\nソフトを再インストールしてください。"},
        InitialResCase{"Unreadable", [](RecordingPlatform& p) { p.fileBytes.erase(L"C:\\Tools\\initial.res"); },
                       L"必要なファイル(initial.res)を読み取れません。\r\nC:\\Tools\\initial.res\r\n"
                       L"指定されたファイルが見つかりません。\r\nソフトを再インストールしてください。"}),
    [](const auto& param) { return std::string(param.param.name); });

struct FolderCase {
    const wchar_t* reported;
    const wchar_t* folderPath;
};

class SettingsFolders : public Settings, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(SettingsFolders, EndInExactlyOneBackslash) {
    platform.programFolder = GetParam().reported;
    platform.exeBaseName = L"Renamed";
    Load();
    EXPECT_EQ(form.ProgramFolderPath(), GetParam().folderPath);
    Press(L"cmdEnd");
    EXPECT_TRUE(std::filesystem::exists(platform.ProfileFileFor(std::wstring(GetParam().folderPath) + L"Renamed.ini")));
}

INSTANTIATE_TEST_SUITE_P(Folders, SettingsFolders,
                         ::testing::Values(FolderCase{L"C:\\Tools", L"C:\\Tools\\"}, FolderCase{L"D:\\", L"D:\\"}));

TEST_F(Settings, UnloadWritesEveryKeyInOrder) {
    StartWithPaths();
    platform.Type({L"txtInfo", 0}, L"");
    SetVersions(L"1", L"2", L"3", L"100", L"0", L"0");
    form.OnEvent(WindowEvent::Unload);  // the close box
    const std::vector<std::wstring> expected{L"WriteProfile [Files] ResHacker=C:\\RH\\ResHacker.exe",
                                             L"WriteProfile [Files] LastExeFile=D:\\Work\\app.exe",
                                             L"WriteProfile [VerInfo] Info0=",
                                             L"WriteProfile [VerInfo] Info1=CompanyName",
                                             L"WriteProfile [VerInfo] Info2=FileDescription",
                                             L"WriteProfile [VerInfo] Info3=LegalCopyright",
                                             L"WriteProfile [VerInfo] Info4=LegalTrademarks",
                                             L"WriteProfile [VerInfo] Info5=ProductName",
                                             L"WriteProfile [VerInfo] Info6=01020003",
                                             L"WriteProfile [VerInfo] Info7=100000000",
                                             L"WriteProfile [VerInfo] Info8=InternalName",
                                             L"WriteProfile [VerInfo] Info9=OriginalFilename",
                                             L"EndProgram"};
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(IniText(),
              "[Files]\r\nResHacker=C:\\RH\\ResHacker.exe\r\nLastExeFile=D:\\Work\\app.exe\r\n[VerInfo]\r\nInfo0=\r\n"
              "Info1=CompanyName\r\nInfo2=FileDescription\r\nInfo3=LegalCopyright\r\nInfo4=LegalTrademarks\r\n"
              "Info5=ProductName\r\nInfo6=01020003\r\nInfo7=100000000\r\nInfo8=InternalName\r\n"
              "Info9=OriginalFilename\r\n");
}

struct Packing {
    std::array<const wchar_t*, 3> boxes;
    const wchar_t* stored;
    std::array<const wchar_t*, 3> restored;
};

class SettingsPacking : public Settings, public ::testing::WithParamInterface<Packing> {};

TEST_P(SettingsPacking, SurvivesASaveAndARestoreThroughTheFile) {
    StartWithPaths();
    const auto& b = GetParam().boxes;
    SetVersions(b[0], b[1], b[2], L"1", L"0", L"0");
    Press(L"cmdEnd");
    EXPECT_EQ(Utf8(platform.CallsStartingWith(L"WriteProfile [VerInfo] Info6=").at(0)),
              Utf8(std::wstring(L"WriteProfile [VerInfo] Info6=") + GetParam().stored));

    RecordingPlatform& next = platform;  // the same files, a fresh window
    frmMain restarted(next);
    next.events = [&](WindowEvent event, const ControlRef& control) { restarted.OnEvent(event, control); };
    next.SetText({L"txtFileVer", 0}, L"1");
    restarted.OnEvent(WindowEvent::Initialize);
    restarted.OnEvent(WindowEvent::Load);
    const auto& r = GetParam().restored;
    EXPECT_EQ(Row(L"txtFileVer"), (std::array<std::wstring, 3>{r[0], r[1], r[2]}));
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsPacking,
                         ::testing::Values(Packing{{L"1", L"2", L"3"}, L"01020003", {L"1", L"2", L"3"}},
                                           Packing{{L"12", L"34", L"5678"}, L"12345678", {L"12", L"34", L"5678"}},
                                           Packing{{L"1", L"0", L"0"}, L"01000000", {L"1", L"0", L"0"}},
                                           Packing{{L"100", L"0", L"0"}, L"100000000", {L"10", L"0", L"0"}},
                                           Packing{{L"1", L"100", L"0"}, L"02000000", {L"2", L"0", L"0"}},
                                           Packing{{L"1", L"0", L"10000"}, L"01010000", {L"1", L"1", L"0"}},
                                           Packing{{L"1", L"0", L"2.5"}, L"01000003", {L"1", L"0", L"3"}}));

TEST_F(Settings, EverythingTypedComesBackAfterARestartAndIsPressedWhole) {
    StartWithPaths();
    std::wstring comment;
    while (comment.size() < 2000) comment += L"注釈 " + std::to_wstring(comment.size()) + L" ";
    comment.resize(2000);
    const std::array<std::wstring, 10> values{comment, L"株式会社テスト", L"",        L"© 2026", L"TM", L"製品", L"",
                                              L"",     L"内部",           L"orig.exe"};
    for (int i : {0, 1, 2, 3, 4, 5, 8, 9}) platform.Type({L"txtInfo", i}, values[static_cast<std::size_t>(i)]);
    SetVersions(L"2", L"10", L"1", L"0", L"5", L"0");
    Press(L"cmdEnd");

    frmMain restarted(platform);
    platform.events = [&](WindowEvent event, const ControlRef& control) { restarted.OnEvent(event, control); };
    for (int i : {0, 1, 2, 3, 4, 5, 8, 9}) platform.SetText({L"txtInfo", i}, L"Text1");
    SetVersions(L"1", L"0", L"0", L"1", L"0", L"0");
    platform.SetText({L"txtResHack"}, L"");
    platform.SetText({L"txtExe"}, L"");
    restarted.OnEvent(WindowEvent::Initialize);
    restarted.OnEvent(WindowEvent::Load);
    for (int i : {0, 1, 2, 3, 4, 5, 8, 9}) {
        EXPECT_EQ(Utf8(platform.GetText({L"txtInfo", i})), Utf8(values[static_cast<std::size_t>(i)])) << i;
    }
    EXPECT_EQ(Row(L"txtFileVer"), (std::array<std::wstring, 3>{L"2", L"10", L"1"}));
    EXPECT_EQ(Row(L"txtProductVer"), (std::array<std::wstring, 3>{L"0", L"5", L"0"}));
    EXPECT_EQ(platform.GetText({L"txtResHack"}), kEditor);
    EXPECT_EQ(platform.GetText({L"txtExe"}), kTarget);

    platform.messages.clear();
    restarted.OnEvent(WindowEvent::Click, {L"Command1"});
    EXPECT_NE(platform.clipboardText.find(L"Value \"Comments\", \"" + comment + L"\"\r\n"), std::wstring::npos);
    EXPECT_TRUE(platform.messages.empty()) << Utf8(platform.messages.at(0));
}

TEST_F(Settings, AValueOutsideTheCodePageTurnsTheFileUnicodeKeepingTheRest) {
    WriteIni("[Files]\r\nResHacker=old\r\n[Mine]\r\n; by hand\r\nnote=手書き\r\n[VerInfo]\r\nInfo3=old\r\n");
    StartWithPaths();
    platform.Type({L"txtInfo", 3}, L"© 2026 Example®");
    Press(L"cmdEnd");
    const std::string bytes = IniText();
    ASSERT_TRUE(bytes.starts_with("\xFF\xFE"));
    std::u16string text((bytes.size() - 2) / 2, u'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
    EXPECT_EQ(Utf8(Wide(portable::Utf8FromUtf16(text))),
              "[Files]\r\nResHacker=C:\\RH\\ResHacker.exe\r\nLastExeFile=D:\\Work\\app.exe\r\n[Mine]\r\n; by hand\r\n"
              "note=手書き\r\n[VerInfo]\r\nInfo3=© 2026 Example®\r\nInfo0=\r\nInfo1=\r\nInfo2=\r\nInfo4=\r\n"
              "Info5=\r\nInfo6=01000000\r\nInfo7=01000000\r\nInfo8=\r\nInfo9=\r\n");
    EXPECT_EQ(platform.CallsStartingWith(L"ConvertProfileToUnicode").size(), 1u);
}

TEST_F(Settings, ARowThatIsNotANumberKeepsItsLastGoodValue) {
    WriteIni("[VerInfo]\r\nInfo6=03040005\r\n");
    Load();
    platform.Type({L"txtFileVer", 1}, L"abc");
    Press(L"cmdEnd");
    EXPECT_TRUE(platform.CallsStartingWith(L"WriteProfile [VerInfo] Info6").empty());
    EXPECT_NE(IniText().find("Info6=03040005"), std::string::npos);
    EXPECT_NE(IniText().find("Info7=01000000"), std::string::npos);
    EXPECT_TRUE(platform.ended);
}

TEST_F(Settings, AnUnwritableFileClosesSilently) {
    StartWithPaths();
    platform.profileWritesFail = true;
    Press(L"cmdEnd");
    EXPECT_EQ(platform.CallsStartingWith(L"WriteProfile").size(), 12u);  // every write still attempted
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.ended);
}

}  // namespace
}  // namespace quillmark::testing
