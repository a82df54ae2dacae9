// The Win32 platform's file, profile, number and program-information
// operations against the real system.
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/win32/MainWindow.h"
#include "platform/win32/SystemDlls.h"
#include "platform/win32/SystemText.h"
#include "platform/win32/Win32Platform.h"
#include "settings/inifile_IO.h"
#include "tests/support/SyntheticFiles.h"
#include "tests/windows/WindowsTestSupport.h"
#include "verify/Bytes.h"
#include "verify/PeImage.h"
#include "verify/PeResources.h"
#include "verify/VersionInfo.h"

namespace quillmark::wintest {
namespace {

using win32::MainWindow;
using win32::Win32Platform;

class PlatformTest : public ::testing::Test {
protected:
    MainWindow window{GetModuleHandleW(nullptr)};
    Win32Platform platform{window};
    TempFolder folder;
};

struct FileEntry {
    std::wstring name;
    DWORD attributes;  // 0: a folder
};

struct LookupCase {
    const char* what;
    std::vector<FileEntry> entries;
    std::wstring pattern;  // relative to the case's folder
    std::wstring expected;
};

const std::vector<LookupCase>& LookupCases() {
    static const std::vector<LookupCase> cases{
        {"exact name", {{L"ResHacker.exe", FILE_ATTRIBUTE_NORMAL}}, L"ResHacker.exe", L"ResHacker.exe"},
        {"letters compared without case",
         {{L"ResHacker.exe", FILE_ATTRIBUTE_NORMAL}},
         L"reshacker.EXE",
         L"ResHacker.exe"},
        {"star matches a run", {{L"ResHacker.exe", FILE_ATTRIBUTE_NORMAL}}, L"Res*.exe", L"ResHacker.exe"},
        {"question mark matches one character", {{L"ab.exe", FILE_ATTRIBUTE_NORMAL}}, L"a?.exe", L"ab.exe"},
        {"one-character name", {{L"x", FILE_ATTRIBUTE_NORMAL}}, L"x", L"x"},
        {"Japanese name",
         {{L"日本語の実行ファイル.exe", FILE_ATTRIBUTE_NORMAL}},
         L"日本語*.exe",
         L"日本語の実行ファイル.exe"},
        {"read-only and archive files are normal",
         {{L"ro.exe", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE}},
         L"ro.exe",
         L"ro.exe"},
        {"hidden file skipped", {{L"tool.exe", FILE_ATTRIBUTE_HIDDEN}}, L"tool.exe", L""},
        {"system file skipped", {{L"tool.exe", FILE_ATTRIBUTE_SYSTEM}}, L"tool.exe", L""},
        {"folder skipped", {{L"tool.exe", 0}}, L"tool.exe", L""},
        {"hidden skipped, normal found",
         {{L"a1.exe", FILE_ATTRIBUTE_HIDDEN}, {L"a2.exe", FILE_ATTRIBUTE_NORMAL}},
         L"a?.exe",
         L"a2.exe"},
        {"folder skipped, file found", {{L"Res.dir", 0}, {L"Res.txt", FILE_ATTRIBUTE_NORMAL}}, L"Res.*", L"Res.txt"},
        {"no match", {{L"a.exe", FILE_ATTRIBUTE_NORMAL}}, L"b.exe", L""},
        {"missing folder", {}, L"missing\\a.exe", L""},
    };
    return cases;
}

TEST_F(PlatformTest, PathLookupFindsTheFirstNormalFile) {
    int caseNumber = 0;
    for (const LookupCase& c : LookupCases()) {
        SCOPED_TRACE(c.what);
        const std::wstring caseFolder = folder / (L"case" + std::to_wstring(++caseNumber));
        ASSERT_TRUE(CreateDirectoryW(caseFolder.c_str(), nullptr));
        for (const FileEntry& entry : c.entries) {
            const std::wstring path = caseFolder + L"\\" + entry.name;
            if (entry.attributes == 0) {
                ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
                continue;
            }
            ASSERT_TRUE(WriteBytes(path, "x"));
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), entry.attributes));
            // Without the attribute kept, the case would test nothing.
            const DWORD kept = GetFileAttributesW(path.c_str());
            const DWORD wanted = entry.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
            ASSERT_EQ(kept & wanted, wanted) << "the file system dropped the attributes";
        }
        EXPECT_EQ(platform.FindFirstNormalFile(caseFolder + L"\\" + c.pattern), c.expected);
    }
}

TEST_F(PlatformTest, PathLookupOfAnEmptyPatternFindsNothing) { EXPECT_EQ(platform.FindFirstNormalFile(L""), L""); }

TEST_F(PlatformTest, ProgramFolderAndNameAreThoseOfTheRunningProgram) {
    EXPECT_EQ(platform.ProgramFolder(), ModuleFolder());
    EXPECT_EQ(platform.ExeBaseName(), L"quillmark_windows_tests");
    EXPECT_EQ(platform.AppTitle(), L"Quillmark");
}

struct ProfileCase {
    const char* what;
    std::wstring section;
    std::wstring key;
    std::wstring value;
};

TEST_F(PlatformTest, ProfileValuesReadBackAsWritten) {
    const std::vector<ProfileCase> cases{
        {"path", L"Files", L"ResHacker", L"C:\\Program Files\\RH\\ResHacker.exe"},
        {"number text", L"VerInfo", L"FileVersion", L"01020003"},
        {"inner blanks", L"VerInfo", L"Comments", L"two  words"},
        {"empty value", L"VerInfo", L"LegalTrademarks", L""},
    };
    const std::wstring file = folder / L"settings.ini";
    for (const ProfileCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(platform.WriteProfileString(c.section, c.key, c.value, file));
        EXPECT_EQ(platform.GetProfileString(c.section, c.key, 255, file), c.value);
    }
}

TEST_F(PlatformTest, ProfileTextIsStoredInTheAnsiCodePage) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page, this system has " << GetACP();
    const std::wstring file = folder / L"settings.ini";
    const std::wstring value = L"日本語のコメント";
    ASSERT_TRUE(platform.WriteProfileString(L"VerInfo", L"Comments", value, file));
    // 日 本 語 in code page 932.
    EXPECT_NE(ReadBytes(file).find("\x93\xfa\x96\x7b\x8c\xea"), std::string::npos);
    EXPECT_EQ(platform.GetProfileString(L"VerInfo", L"Comments", 255, file), value);
}

TEST_F(PlatformTest, ProfileReadsAFileWrittenByAnEarlierVersion) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page, this system has " << GetACP();
    const std::wstring file = folder / L"old.ini";
    ASSERT_TRUE(WriteBytes(file, "[VerInfo]\r\nCompanyName=\x8a\x94\x8e\xae\x89\xef\x8e\xd0\r\n"));
    EXPECT_EQ(platform.GetProfileString(L"VerInfo", L"CompanyName", 255, file), L"株式会社");
}

TEST_F(PlatformTest, OnlyTextWithoutLookAlikesFitsTheAnsiCodePage) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page, this system has " << GetACP();
    EXPECT_TRUE(platform.FitsAnsiCodePage(L"C:\\ツール\\株式会社 (R) 2026"));
    for (const wchar_t* text : {L"© 2026 Example®", L"Example™", L"Zoë"}) EXPECT_FALSE(platform.FitsAnsiCodePage(text));
}

TEST_F(PlatformTest, AProfileTurnedUnicodeKeepsItsLinesAndStoresAnyCharacter) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page, this system has " << GetACP();
    const std::wstring file = folder / L"Zoë ©.ini";
    ASSERT_TRUE(WriteBytes(file, "[Mine]\r\nnote=\x8e\xe8\x8f\x91\x82\xab\r\n"));  // 手書き
    ASSERT_TRUE(platform.WriteProfileString(L"Files", L"ResHacker", L"C:\\rh.exe", file));
    EXPECT_EQ(ReadBytes(file).substr(0, 6), "[Mine]");  // a value that fits keeps the file ANSI

    ASSERT_TRUE(platform.ConvertProfileToUnicode(file).ok);
    const std::wstring text = L"\xFEFF[Mine]\r\nnote=手書き\r\n[Files]\r\nResHacker=C:\\rh.exe\r\n";
    const std::string unicode(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    EXPECT_EQ(ReadBytes(file), unicode);

    ASSERT_TRUE(platform.WriteProfileString(L"VerInfo", L"Info3", L"© 2026 Example®", file));
    EXPECT_EQ(platform.GetProfileString(L"VerInfo", L"Info3", 255, file), L"© 2026 Example®");
    EXPECT_EQ(platform.GetProfileString(L"Mine", L"note", 255, file), L"手書き");
    EXPECT_EQ(ReadBytes(file).substr(0, 2), "\xFF\xFE");
    EXPECT_FALSE(Exists(folder / L"Zoë ©.ini.quillmark-tmp"));
}

TEST_F(PlatformTest, AProfileThatCannotBeConvertedStaysAsItWas) {
    const std::wstring file = folder / L"settings.ini";
    ASSERT_TRUE(WriteBytes(file, "[s]\r\nk=v\r\n"));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    const OpResult converted = platform.ConvertProfileToUnicode(file);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(converted.ok);
    EXPECT_NE(converted.error, L"");
    EXPECT_EQ(ReadBytes(file), "[s]\r\nk=v\r\n");
    ASSERT_TRUE(platform.ConvertProfileToUnicode(folder / L"new.ini").ok);
    EXPECT_EQ(ReadBytes(folder / L"new.ini"), "\xFF\xFE");
}

TEST_F(PlatformTest, ProfileReadIsCutToTheBuffer) {
    const std::wstring file = folder / L"settings.ini";
    ASSERT_TRUE(platform.WriteProfileString(L"Files", L"Exe", L"abcdefghij", file));
    EXPECT_EQ(platform.GetProfileString(L"Files", L"Exe", 5, file), L"abcd");
}

TEST_F(PlatformTest, ProfileReadOfAMissingFileOrKeyIsEmpty) {
    EXPECT_EQ(platform.GetProfileString(L"Files", L"Exe", 255, folder / L"missing.ini"), L"");
    EXPECT_FALSE(Exists(folder / L"missing.ini"));
    const std::wstring file = folder / L"settings.ini";
    ASSERT_TRUE(platform.WriteProfileString(L"Files", L"Exe", L"x", file));
    EXPECT_EQ(platform.GetProfileString(L"Files", L"Other", 255, file), L"");
    EXPECT_EQ(platform.GetProfileString(L"Other", L"Exe", 255, file), L"");
}

TEST_F(PlatformTest, ProfileWriteIntoAMissingFolderFails) {
    EXPECT_FALSE(platform.WriteProfileString(L"Files", L"Exe", L"x", folder / L"missing\\settings.ini"));
}

TEST_F(PlatformTest, CopyReplacesAnExistingFile) {
    const std::wstring source = folder / L"target.exe";
    const std::wstring backup = folder / L"target_original.exe";
    ASSERT_TRUE(WriteBytes(source, "new content"));
    ASSERT_TRUE(WriteBytes(backup, "an older backup, longer than the new one"));
    const OpResult copied = platform.CopyFileReplacing(source, backup);
    EXPECT_TRUE(copied.ok);
    EXPECT_EQ(copied.error, L"");
    EXPECT_EQ(ReadBytes(backup), "new content");
}

TEST_F(PlatformTest, ReplaceGivesTheTargetTheWorkFileAndLeavesNothingElse) {
    const std::wstring target = folder / L"target.exe";
    const std::wstring work = folder / L"target.exe.quillmark-work1.exe";
    ASSERT_TRUE(WriteBytes(target, "as the merge left it"));
    ASSERT_TRUE(WriteBytes(work, "without the other language"));
    EXPECT_EQ(platform.ReplaceFileKeepingIdentity(work, target).kind, ReplaceOutcome::Kind::Replaced);
    EXPECT_EQ(ReadBytes(target), "without the other language");
    EXPECT_FALSE(Exists(work));
    EXPECT_EQ(platform.FindFirstNormalFile(folder / L"~RF*.TMP"), L"");

    const ReplaceOutcome missing = platform.ReplaceFileKeepingIdentity(work, target);
    EXPECT_EQ(missing.kind, ReplaceOutcome::Kind::Unchanged);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_EQ(ReadBytes(target), "without the other language");
}

TEST_F(PlatformTest, AWholeFileWriteReplacesTheFileAndChangesItsStamp) {
    const std::wstring res = folder / L"initial.res";
    ASSERT_TRUE(WriteBytes(res, "32 bytes the editor saved empty."));
    const auto before = platform.StampOf(res);
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(before->size, 32u);
    const std::vector<std::uint8_t> kept{'k', 'e', 'p', 't'};
    EXPECT_TRUE(platform.WriteWholeFile(res, kept).ok);
    EXPECT_EQ(ReadBytes(res), "kept");
    EXPECT_NE(platform.StampOf(res), before);
    EXPECT_EQ(platform.FindFirstNormalFile(folder / L"*.quillmark-new"), L"");
    EXPECT_FALSE(platform.StampOf(folder / L"missing.log").has_value());
    // A folder that is not there: nothing written, the system's reason.
    const OpResult refused = platform.WriteWholeFile(folder / L"missing\\initial.res", kept);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.empty());
}

TEST_F(PlatformTest, TheEditorsLogIsReadInTheAnsiCodePage) {
    // "Added: ソフト" as a program built for code page 932 writes it
    const std::vector<std::uint8_t> bytes{'A', 'd', 'd', 'e', 'd', ':', ' ', 0x83, 0x5C, 0x83, 0x74, 0x83, 0x67};
    EXPECT_EQ(platform.FromAnsiCodePage(bytes), L"Added: ソフト");
    EXPECT_FALSE(platform.LocalAppDataFolder().empty());
    EXPECT_NE(platform.LocalAppDataFolder().back(), L'\\');
}

TEST_F(PlatformTest, PathsFromTheCommandLineAreMadeWholeAndLong) {
    const std::wstring target = folder / L"A long target name.exe";
    ASSERT_TRUE(WriteBytes(target, "MZ"));
    const std::optional<std::wstring> shortForm = platform.ShortPathName(target);
    ASSERT_TRUE(shortForm.has_value());
    const std::wstring relative = target.substr(target.find_last_of(L'\\') + 1);
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(folder.Path().c_str());
    const WholePath missing = platform.MakeWholePath(L"missing.exe");
    std::vector<WholePath> wholes;
    for (const std::wstring& given : {target, *shortForm, relative}) wholes.push_back(platform.MakeWholePath(given));
    SetCurrentDirectoryW(before);
    for (const WholePath& whole : wholes) {
        EXPECT_EQ(whole.path, target);
        EXPECT_EQ(whole.kind, PathKind::File);
    }
    EXPECT_EQ(missing.kind, PathKind::Missing);
    EXPECT_EQ(missing.path, folder / L"missing.exe");
    EXPECT_EQ(platform.MakeWholePath(folder / L"").kind, PathKind::Folder);
    const std::optional<LocalTime> written = platform.LastWriteTime(target);
    ASSERT_TRUE(written.has_value());
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(written->year, now.wYear);
    EXPECT_FALSE(platform.LastWriteTime(folder / L"missing.exe").has_value());
}

TEST_F(PlatformTest, CopyFailuresCarryTheSystemReason) {
    struct CopyCase {
        const char* what;
        std::wstring source;
        std::wstring destination;
    };
    ASSERT_TRUE(WriteBytes(folder / L"target.exe", "x"));
    const std::vector<CopyCase> cases{
        {"missing source", folder / L"missing.exe", folder / L"backup.exe"},
        {"missing destination folder", folder / L"target.exe", folder / L"missing\\backup.exe"},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.what);
        const OpResult copied = platform.CopyFileReplacing(c.source, c.destination);
        EXPECT_FALSE(copied.ok);
        EXPECT_FALSE(copied.error.empty());
        EXPECT_FALSE(Exists(c.destination));
    }
}

// The loader does not check a resource's size against the file: a version
// resource that says 16 MB is read no further than the mapping goes.
TEST_F(PlatformTest, AVersionResourceWhoseSizeRunsPastTheFileIsReadWithinItsMapping) {
    const auto sample = testing::SampleVersion();
    const auto block = testing::VersionBlock(sample);
    const std::wstring path = folder / L"oversized.exe";
    ASSERT_TRUE(CopyFileW((ModuleFolder() + L"\\quillmark_test_helper.exe").c_str(), path.c_str(), FALSE));
    const HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(1), 0x0411, const_cast<std::uint8_t*>(block.data()),
                    static_cast<DWORD>(block.size()));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    std::string bytes = ReadBytes(path);
    const verify::Bytes view{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    const auto facts = std::get<verify::PeFacts>(verify::ReadPeHeaders(view, view.size()));
    const verify::ByteRange directory = facts.resourceDirectory;
    const auto items = std::get<std::vector<verify::ResItem>>(
        verify::ReadResourceDirectory(view.subspan(directory.offset, directory.length), facts));
    const auto version = std::find_if(items.begin(), items.end(), verify::IsVersionItem);
    ASSERT_NE(version, items.end());
    // Its data entry: the item's RVA, then its size.
    std::uint64_t rva = 0;
    for (const verify::PeSection& section : facts.sections) {
        if (version->data.offset >= section.raw.offset && version->data.offset < section.raw.End()) {
            rva = section.rva + (version->data.offset - section.raw.offset);
        }
    }
    bool patched = false;
    for (std::uint64_t at = directory.offset; at + 8 <= directory.End() && !patched; at += 4) {
        if (verify::U32At(view, at) == rva && verify::U32At(view, at + 4) == version->data.length) {
            const std::uint32_t huge = 16 * 1024 * 1024;
            std::memcpy(bytes.data() + at + 4, &huge, sizeof huge);
            patched = true;
        }
    }
    ASSERT_TRUE(patched);
    ASSERT_TRUE(WriteBytes(path, bytes));
    const VersionReadBack back = platform.ReadVersionBack(path, {sample.stringTable, sample.Keys()});
    ASSERT_TRUE(back.loaded.ok) << back.loaded.error;
    ASSERT_EQ(back.languages.size(), 1u);
    EXPECT_TRUE(back.languages[0].values.found);
    EXPECT_EQ(back.languages[0].values.strings.at(1), sample.strings[1].second);
    // The version API would copy 16 MB out of the mapping: it is not asked.
    EXPECT_FALSE(back.shown.found);
    EXPECT_FALSE(platform.ReadShownVersionBlock(path).status.ok);
}

// The version API would write past a 16-bit block: such a language is
// listed, unread, beside a wide one that is read.
TEST_F(PlatformTest, VersionReadBackListsASixteenBitLanguageWithoutReadingIt) {
    const auto sample = testing::SampleVersion();
    const std::wstring path = folder / L"old.exe";
    ASSERT_TRUE(CopyFileW((ModuleFolder() + L"\\quillmark_test_helper.exe").c_str(), path.c_str(), FALSE));
    const HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    for (auto [language, block] : {std::pair{WORD{0x0409}, testing::SixteenBitVersionBlock(sample)},
                                   std::pair{WORD{0x0411}, testing::VersionBlock(sample)}}) {
        UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(1), language, block.data(),
                        static_cast<DWORD>(block.size()));
    }
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    const VersionReadBack back = platform.ReadVersionBack(path, {sample.stringTable, sample.Keys()});
    ASSERT_TRUE(back.loaded.ok) << back.loaded.error;
    ASSERT_EQ(back.languages.size(), 2u);
    EXPECT_EQ(back.languages[0].language, 0x0409);
    EXPECT_FALSE(back.languages[0].values.found);
    EXPECT_TRUE(back.languages[1].values.found);
    // Whichever block the system shows, never the 16-bit one's values
    // (Wine picks it, 0409, for this user).
    if (back.shown.found) {
        EXPECT_EQ(back.shown.strings.at(1), sample.strings[1].second);
    }
    // What the Properties sheet shows follows the user's display language.
    if (GetUserDefaultUILanguage() == 0x0411) {
        const VersionBlockRead shown = platform.ReadShownVersionBlock(path);
        ASSERT_TRUE(shown.status.ok) << shown.status.error;
        const auto info = verify::ReadVersionInfo(shown.block);
        ASSERT_TRUE(info && !info->translations.empty());
        EXPECT_EQ(info->translations[0].language, 0x0411);
    }
}

// The version API's answers, read as the read-back once read them: the
// fixed part, and each string up to its NUL or its length in characters.
verify::VersionValues ApiValues(const void* block, const verify::ExpectedVersion& query) {
    verify::VersionValues values;
    values.found = true;
    void* found = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block, L"\\", &found, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(found);
        if (fixed->dwSignature == 0xFEEF04BD) {
            values.fixed =
                verify::FixedVersions{{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                       HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)},
                                      {HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                                       HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)}};
        }
    }
    for (const std::wstring& key : query.Keys()) {
        const std::wstring path = L"\\StringFileInfo\\" + query.stringTable + L"\\" + key;
        if (!VerQueryValueW(block, path.c_str(), &found, &length)) {
            values.strings.emplace_back(std::nullopt);
            continue;
        }
        const auto* text = static_cast<const wchar_t*>(found);
        values.strings.emplace_back(text == nullptr ? std::wstring{} : std::wstring(text, wcsnlen(text, length)));
    }
    return values;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// Where the version API and the reader part on a string: its index among
// the sample's keys, the API's answer, the reader's.
struct Parting {
    std::size_t key;
    std::optional<std::wstring> api;
    std::optional<std::wstring> reader;
};

// Measured under Wine 8 ("Wine 8"); Windows itself is unmeasured here.
// Each shape at the start of a zeroed 128 KB buffer: VerQueryValueW and
// the reader agree on everything but what a row lists.
struct ApiRow {
    const char* measuredUnder;
    const char* shape;
    std::vector<Parting> parted;
};

const ApiRow kApiRows[] = {
    {"Wine 8", "Compiled", {}},
    {"Wine 8", "BinaryStringCountingCharacters", {}},
    {"Wine 8", "KeyWithoutNul", {}},
    {"Wine 8", "OverlongFirstLength", {}},
    {"Wine 8", "RootPastData", {}},
    {"Wine 8", "StringFileInfoPastData", {}},
    {"Wine 8", "StringTablePastData", {}},
    {"Wine 8", "StringPastData", {}},
    {"Wine 8", "VarFileInfoPastData", {}},
    // The API's length runs on through the next node's header and key.
    {"Wine 8",
     "ValuePastItsNode",
     {{4,
       L"～X4\n\x01"
       L"ProductName",
       L"～X"}}},
};

TEST_F(PlatformTest, VersionReaderAgreesWithTheVersionApiWhereThatIsSafe) {
    if (!UnderWine()) GTEST_SKIP() << "the rows were measured under Wine 8";
    const auto shapes = testing::VersionShapes();
    ASSERT_EQ(shapes.size(), std::size(kApiRows));
    for (std::size_t s = 0; s < shapes.size(); ++s) {
        const ApiRow& row = kApiRows[s];
        const testing::VersionShape& shape = shapes[s];
        SCOPED_TRACE(std::string(row.shape) + ", " + row.measuredUnder);
        ASSERT_STREQ(shape.name, row.shape);
        std::vector<DWORD> buffer(128 * 1024 / sizeof(DWORD), 0);
        std::memcpy(buffer.data(), shape.block.data(), shape.block.size());
        const verify::VersionValues api = ApiValues(buffer.data(), shape.values);
        const verify::VersionValues reader =
            verify::ReadVersionValues(shape.block, shape.values.stringTable, shape.values.Keys());
        EXPECT_TRUE(reader.found);
        EXPECT_EQ(api.fixed, reader.fixed);
        ASSERT_EQ(api.strings.size(), reader.strings.size());
        for (std::size_t k = 0; k < api.strings.size(); ++k) {
            SCOPED_TRACE(k);
            const auto parting =
                std::find_if(row.parted.begin(), row.parted.end(), [k](const Parting& p) { return p.key == k; });
            if (parting == row.parted.end()) {
                EXPECT_EQ(api.strings[k], reader.strings[k]);
            } else {
                EXPECT_EQ(api.strings[k], parting->api);
                EXPECT_EQ(reader.strings[k], parting->reader);
            }
        }
    }
}

// Each shape ending right at a page that cannot be read: the reader reads
// it as it reads a copy with room after it, and no further.
TEST_F(PlatformTest, VersionReaderStopsAtTheEndOfTheBlockBeforeAnUnreadablePage) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::size_t page = system.dwPageSize;
    auto* pages = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD previous = 0;
    ASSERT_TRUE(VirtualProtect(pages + page, page, PAGE_NOACCESS, &previous));
    for (const testing::VersionShape& shape : testing::VersionShapes()) {
        SCOPED_TRACE(shape.name);
        ASSERT_LE(shape.block.size(), page);
        std::uint8_t* at = pages + page - shape.block.size();
        std::memcpy(at, shape.block.data(), shape.block.size());
        const verify::Bytes edge{at, shape.block.size()};
        const auto read = verify::ReadVersionValues(edge, shape.values.stringTable, shape.values.Keys());
        const auto copy = verify::ReadVersionValues(shape.block, shape.values.stringTable, shape.values.Keys());
        EXPECT_TRUE(read.found);
        EXPECT_EQ(read.fixed, copy.fixed);
        EXPECT_EQ(read.strings, copy.strings);
    }
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(PlatformTest, TextToNumberUsesTheAutomationConversions) {
    struct LongCase {
        std::wstring text;
        std::optional<std::int32_t> expected;
    };
    const std::vector<LongCase> longs{
        {L"123", 123},       {L" 42 ", 42},    {L"-7", -7},    {L"2147483647", 2147483647},
        {L"2147483648", {}}, {L"abc", {}},     {L"", {}},      {L"1.5", 2},
        {L"2.5", 2},         {L"1,000", 1000}, {L"12abc", {}},
    };
    for (const LongCase& c : longs) {
        SCOPED_TRACE(win32::ToAnsi(c.text));
        EXPECT_EQ(platform.TextToLong(c.text), c.expected);
    }

    EXPECT_EQ(platform.TextToDouble(L"1.25"), 1.25);
    EXPECT_EQ(platform.TextToDouble(L"1e3"), 1000.0);
    EXPECT_EQ(platform.TextToDouble(L"one"), std::nullopt);
}

// The settings' whole and single numbers, read through the automation
// conversions: in range of their type, the caller's default otherwise.
TEST_F(PlatformTest, SettingsReadIntegersAndSinglesInTheirRange) {
    inifile_IO ini(platform);
    ini.FileName(folder / L"numbers.ini");
    struct IntegerCase {
        std::wstring text;
        std::int16_t expected;
    };
    const std::vector<IntegerCase> integers{{L"32767", 32767}, {L"32768", -7}, {L"-32768", -32768}, {L"x", -7}};
    for (const IntegerCase& c : integers) {
        SCOPED_TRACE(win32::ToAnsi(c.text));
        ASSERT_TRUE(ini.WriteStr(L"S", L"K", c.text));
        EXPECT_EQ(ini.ReadInt(L"S", L"K", -7), c.expected);
    }
    ASSERT_TRUE(ini.WriteStr(L"S", L"K", L"0.5"));
    EXPECT_EQ(ini.ReadSng(L"S", L"K", 9.0f), 0.5f);
    ASSERT_TRUE(ini.WriteStr(L"S", L"K", L"1e39"));
    EXPECT_EQ(ini.ReadSng(L"S", L"K", 9.0f), 9.0f);
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

TEST(SystemDlls, VersionInfoOfASystemFileHoldsTheFixedFileInfo) {
    const std::wstring kernel32 = SystemFolder() + L"\\kernel32.dll";
    DWORD handle = 1;
    const DWORD size = win32::dlls::GetFileVersionInfoSizeExW(0, kernel32.c_str(), &handle);
    ASSERT_GT(size, 0u) << "error " << GetLastError();
    EXPECT_EQ(handle, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(win32::dlls::GetFileVersionInfoExW(0, kernel32.c_str(), 0, size, block.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwSignature, 0xFEEF04BDu);
    EXPECT_FALSE(VerQueryValueW(block.data(), L"\\NoSuchBlock", &value, &length));
}

TEST(SystemDlls, ThemeCallsReachUxTheme) {
    const HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(win32::dlls::SetWindowTheme(button, L" ", L" "), S_OK);
    SetLastError(ERROR_SUCCESS);
    win32::dlls::GetWindowTheme(button);
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    DestroyWindow(button);
}

TEST(SystemDlls, ComeFromTheSystemFolder) {
    DWORD handle = 0;
    win32::dlls::GetFileVersionInfoSizeExW(0, L"kernel32.dll", &handle);
    win32::dlls::GetWindowTheme(nullptr);
    for (const wchar_t* name : {L"version.dll", L"uxtheme.dll"}) {
        SCOPED_TRACE(win32::ToAnsi(name));
        const HMODULE module = GetModuleHandleW(name);
        ASSERT_NE(module, nullptr);
        wchar_t path[MAX_PATH] = {};
        ASSERT_GT(GetModuleFileNameW(module, path, MAX_PATH), 0u);
        EXPECT_EQ(CompareStringOrdinal(path, -1, (SystemFolder() + L"\\" + name).c_str(), -1, TRUE), CSTR_EQUAL)
            << win32::ToAnsi(path);
    }
}

TEST(OpenDialogFilter, BarsBecomeNulsAndTheListEndsInTwo) {
    struct FilterCase {
        std::wstring bars;
        std::wstring expected;
    };
    const std::vector<FilterCase> cases{
        {L"実行ファイル (*.exe)|*.exe", std::wstring(L"実行ファイル (*.exe)\0*.exe\0\0", 22)},
        {L"ResHacker (ResHacker.exe)|ResHacker.exe", std::wstring(L"ResHacker (ResHacker.exe)\0ResHacker.exe\0\0", 41)},
        {L"A|*.a|B|*.b", std::wstring(L"A\0*.a\0B\0*.b\0\0", 13)},
    };
    for (const FilterCase& c : cases) {
        EXPECT_EQ(win32::OpenDialogFilter(c.bars), c.expected);
    }
}

}  // namespace
}  // namespace quillmark::wintest
