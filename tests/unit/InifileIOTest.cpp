#include <gtest/gtest.h>

#include <fstream>

#include "settings/inifile_IO.h"
#include "tests/support/RecordingPlatform.h"

namespace quillmark::testing {
namespace {

class InifileIO : public ::testing::Test {
protected:
    InifileIO() { ini.FileName(L"C:\\Tools\\test.ini"); }
    void Store(const std::string& value) { ini.WriteStr(L"S", L"K", Wide(value)); }
    RecordingPlatform platform;
    inifile_IO ini{platform};
};

TEST_F(InifileIO, StartsWithoutAFileName) {
    inifile_IO fresh(platform);
    EXPECT_EQ(fresh.FileName(), L"");
    EXPECT_EQ(ini.FileName(), L"C:\\Tools\\test.ini");
}

TEST_F(InifileIO, AnEmptyValueReadsAsTheDefault) {
    EXPECT_TRUE(ini.WriteStr(L"S", L"K", L""));
    EXPECT_EQ(ini.ReadStr(L"S", L"K", L"def"), L"def");
    EXPECT_TRUE(ini.WriteStr(L"S", L"K", L"値"));
    EXPECT_EQ(ini.ReadStr(L"S", L"K", L"def"), L"値");
}

TEST_F(InifileIO, AMissingFileGivesTheDefaultAndIsNotCreated) {
    EXPECT_EQ(ini.ReadStr(L"S", L"K", L"def"), L"def");
    EXPECT_FALSE(std::filesystem::exists(platform.ProfileFileFor(L"C:\\Tools\\test.ini")));
}

// The profile call answers size - 1 characters both for a cut value and for
// one that just fits the buffer.
TEST_F(InifileIO, LongValuesReadWholeAtEveryBufferEdge) {
    for (const std::size_t length : {1022u, 1023u, 1024u, 2047u, 2048u, 5000u}) {
        const std::wstring value = std::wstring(length - 1, L'x') + L"z";
        ASSERT_TRUE(ini.WriteStr(L"S", L"K", value));
        EXPECT_TRUE(ini.ReadStr(L"S", L"K", L"") == value) << length;
    }
}

struct IntCase {
    const char* stored;
    std::int16_t expected;
};

class InifileReadInt : public InifileIO, public ::testing::WithParamInterface<IntCase> {};

TEST_P(InifileReadInt, ConvertsOrGivesTheDefault) {
    Store(GetParam().stored);
    EXPECT_EQ(ini.ReadInt(L"S", L"K", -7), GetParam().expected) << GetParam().stored;
}

INSTANTIATE_TEST_SUITE_P(Values, InifileReadInt,
                         ::testing::Values(IntCase{"12", 12}, IntCase{"2.5", 2}, IntCase{"3.5", 4},
                                           IntCase{"40000", -7}, IntCase{"abc", -7}, IntCase{"", -7}, IntCase{" 5 ", 5},
                                           IntCase{"-32768", -32768}));

TEST_F(InifileIO, ReadSngConvertsOrGivesTheDefault) {
    Store("1.25");
    EXPECT_EQ(ini.ReadSng(L"S", L"K", 9.0f), 1.25f);
    Store("1e40");
    EXPECT_EQ(ini.ReadSng(L"S", L"K", 9.0f), 9.0f);
    Store("x");
    EXPECT_EQ(ini.ReadSng(L"S", L"K", 9.0f), 9.0f);
}

struct StoredCase {
    const wchar_t* value;
    const wchar_t* stored;  // as passed to the profile call
    bool unicodeFile;
};

class InifileStored : public InifileIO, public ::testing::WithParamInterface<StoredCase> {};

// Three times the first buffer, its one character outside the code page last.
const std::wstring kLong = std::wstring(2999, L'注') + L"©";

TEST_P(InifileStored, ReadsBackExactlyFromAFileInTheEncodingItNeeds) {
    ASSERT_TRUE(ini.WriteStr(L"VerInfo", L"Info1", L"株式会社"));
    ASSERT_TRUE(ini.WriteStr(L"VerInfo", L"Info3", GetParam().value));
    EXPECT_EQ(Utf8(platform.calls.back()), Utf8(std::wstring(L"WriteProfile [VerInfo] Info3=") + GetParam().stored));
    EXPECT_EQ(Utf8(ini.ReadStr(L"VerInfo", L"Info3", L"")), Utf8(GetParam().value));
    EXPECT_EQ(ini.ReadStr(L"VerInfo", L"Info1", L""), L"株式会社");
    std::ifstream in(platform.ProfileFileFor(ini.FileName()), std::ios::binary);
    EXPECT_EQ(in.get() == 0xFF && in.get() == 0xFE, GetParam().unicodeFile);
    EXPECT_EQ(platform.CallsStartingWith(L"ConvertProfileToUnicode").size(), GetParam().unicodeFile ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, InifileStored,
    ::testing::Values(StoredCase{L"© 2026 Example®", L"© 2026 Example®", true},
                      StoredCase{L"Example™", L"Example™", true},
                      StoredCase{L"Zoë's Ünïcödé tool", L"Zoë's Ünïcödé tool", true},
                      StoredCase{L"製品　名", L"製品　名", false}, StoredCase{L"a \"b\" c", L"a \"b\" c", false},
                      StoredCase{L"  lead", L"\"  lead\"", false}, StoredCase{L"trail\t", L"\"trail\t\"", false},
                      StoredCase{L"\"quoted\"", L"\"\"quoted\"\"", false}, StoredCase{L"'x'", L"\"'x'\"", false},
                      StoredCase{L"\"", L"\"\"\"", false}, StoredCase{L" ™ ", L"\" ™ \"", true},
                      StoredCase{kLong.c_str(), kLong.c_str(), true}));

TEST_F(InifileIO, AFileThatCannotTurnUnicodeIsNotWritten) {
    platform.profileWritesFail = true;
    EXPECT_FALSE(ini.WriteStr(L"S", L"K", L"©"));
    EXPECT_TRUE(platform.CallsStartingWith(L"WriteProfile").empty());
}

TEST_F(InifileIO, AFailedWriteReturnsFalse) {
    ini.FileName(L"C:\\no such folder\\sub\\test.ini");
    platform.profileWritesFail = true;
    EXPECT_FALSE(ini.WriteStr(L"S", L"K", L"v"));
}

}  // namespace
}  // namespace quillmark::testing
