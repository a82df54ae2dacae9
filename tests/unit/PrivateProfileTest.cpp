#include "platform/portable/PrivateProfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quillmark::portable {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

struct ReadCase {
    const char* name;
    std::string content;
    std::string section;
    std::string key;
    std::string expected;
};

class PrivateProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(PrivateProfileReadTest, FindsTheValueAsWindowsDoes) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(ReadProfileValue(c.content, c.section, c.key), c.expected);
}

const ReadCase kReadCases[] = {
    {"Plain", "[Files]\r\nResHacker=C:\\rh.exe\r\n", "Files", "ResHacker", "C:\\rh.exe"},
    {"SectionIgnoresAsciiCase", "[files]\r\nResHacker=x\r\n", "FILES", "ResHacker", "x"},
    {"KeyIgnoresAsciiCase", "[Files]\r\nRESHACKER=x\r\n", "Files", "reshacker", "x"},
    {"NonAsciiLettersKeepTheirCase", "[\xC3\x89]\r\nk=x\r\n", "\xC3\xA9", "k", ""},
    {"BlanksAroundSectionName", "[ \tFiles\t ]\r\nk=x\r\n", "Files", "k", "x"},
    {"BlanksBeforeSectionLine", "  \t[Files]\r\nk=x\r\n", "Files", "k", "x"},
    {"BlanksAroundKeyAndValue", "[s]\r\n \t k \t=  \tv a l\t \r\n", "s", "k", "v a l"},
    {"EmptyValue", "[s]\r\nk=\r\n", "s", "k", ""},
    {"ValueKeepsLaterEquals", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
    {"CommentLineIsNoKey", "[s]\r\n;k=comment\r\nk=real\r\n", "s", "k", "real"},
    {"IndentedCommentIsNoKey", "[s]\r\n  ;k=comment\r\n", "s", "k", ""},
    {"CommentLineIsNoSection", ";[s]\r\nk=x\r\n[s]\r\nk=y\r\n", "s", "k", "y"},
    {"SectionNameEndsAtFirstBracket", "[s]tail]\r\nk=x\r\n", "s", "k", "x"},
    {"SectionWithBracketInsideIsNotFound", "[a]b]\r\nk=x\r\n", "a]b", "k", ""},
    {"SectionWithoutBracketTakesTheRestOfTheLine", "[Files  \r\nk=x\r\n", "Files", "k", "x"},
    {"DoubleQuotesRemoved", "[s]\r\nk=\"quoted\"\r\n", "s", "k", "quoted"},
    {"SingleQuotesRemoved", "[s]\r\nk='quoted'\r\n", "s", "k", "quoted"},
    {"BlanksInsideQuotesKept", "[s]\r\nk=  \" a \"  \r\n", "s", "k", " a "},
    {"OnlyOnePairOfQuotesRemoved", "[s]\r\nk=\"\"x\"\"\r\n", "s", "k", "\"x\""},
    {"MismatchedQuotesKept", "[s]\r\nk=\"x'\r\n", "s", "k", "\"x'"},
    {"LoneQuoteKept", "[s]\r\nk=\"\r\n", "s", "k", "\""},
    {"QuoteOnOneSideKept", "[s]\r\nk=\"x\r\n", "s", "k", "\"x"},
    {"EmptyQuotesGiveEmpty", "[s]\r\nk=''\r\n", "s", "k", ""},
    {"FirstDuplicateSectionWins", "[s]\r\nk=first\r\n[S]\r\nk=second\r\n", "s", "k", "first"},
    {"KeyOnlyInSecondDuplicateSectionIsNotFound", "[s]\r\na=1\r\n[s]\r\nk=second\r\n", "s", "k", ""},
    {"FirstDuplicateKeyWins", "[s]\r\nk=first\r\nK=second\r\n", "s", "k", "first"},
    {"KeyBeforeFirstSectionIsNotFound", "k=orphan\r\n[s]\r\n", "s", "k", ""},
    {"KeyBeforeFirstSectionIsNotInEmptySection", "k=orphan\r\n", "", "k", ""},
    {"EmptySectionName", "[]\r\nk=x\r\n", "", "k", "x"},
    {"KeyOfAnotherSectionIsNotFound", "[a]\r\nk=x\r\n[b]\r\nother=y\r\n", "b", "k", ""},
    {"LineWithoutEqualsIsNoKey", "[s]\r\nk\r\n", "s", "k", ""},
    {"MissingSection", "[a]\r\nk=x\r\n", "b", "k", ""},
    {"EmptyText", "", "s", "k", ""},
    {"LfLineEnds", "[s]\nk=x\nm=y\n", "s", "m", "y"},
    {"LoneCrLineEnds", "[s]\rk=x\rm=y\r", "s", "m", "y"},
    {"MixedLineEnds", "[a]\r\nk=1\r[s]\nk=x\r\n", "s", "k", "x"},
    {"LastLineWithoutBreak", "[s]\r\nk=x", "s", "k", "x"},
    {"Utf8BomBeforeFirstSection", "\xEF\xBB\xBF[s]\r\nk=x\r\n", "s", "k", "x"},
    {"NulInsideValueKept", "[s]\r\nk=a\0b\r\n"s, "s", "k", "a\0b"s},
    {"NulInsideSectionName", "[s\0t]\r\nk=x\r\n"s, "s\0t"s, "k", "x"},
    {"NulLineIsNoKey", "[s]\r\n\0\r\nk=x\r\n"s, "s", "k", "x"},
    {"Utf8TextValue", "[Files]\r\nResHacker=(\xE3\x80\x90参照\xE3\x80\x91)\r\n", "Files", "ResHacker",
     "(\xE3\x80\x90参照\xE3\x80\x91)"},
};

INSTANTIATE_TEST_SUITE_P(Cases, PrivateProfileReadTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct WriteCase {
    const char* name;
    std::string content;
    std::string section;
    std::string key;
    std::string value;
    std::string expected;
};

class PrivateProfileWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(PrivateProfileWriteTest, EditsOnlyWhatWindowsEdits) {
    const WriteCase& c = GetParam();
    EXPECT_EQ(WithProfileValue(c.content, c.section, c.key, c.value), c.expected);
}

const WriteCase kWriteCases[] = {
    {"NewText", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
    {"ReplaceKeepsOtherLinesAndLineEnds", "[s]\nA=1\nk=old\n;c\nB=2\n", "s", "k", "new", "[s]\nA=1\nk=new\n;c\nB=2\n"},
    {"ReplaceSpellsTheKeyAsPassed", "[S]\r\nKEY=old\r\n", "s", "Key", "new", "[S]\r\nKey=new\r\n"},
    {"ReplaceDropsBlanksAndQuotesOfTheOldLine", "[s]\r\n  k = \"old\"  \r\n", "s", "k", "new", "[s]\r\nk=new\r\n"},
    {"ReplaceKeepsLoneCr", "[s]\rk=old\rm=1\r", "s", "k", "new", "[s]\rk=new\rm=1\r"},
    {"ReplaceUnterminatedLastLine", "[s]\r\nk=old", "s", "k", "new", "[s]\r\nk=new"},
    {"ReplaceWithEmptyValue", "[s]\r\nk=old\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
    {"NewKeyAfterLastKeyNotAfterBlankOrComment", "[a]\r\nx=1\r\n\r\n;c\r\n[b]\r\ny=2\r\n", "a", "k", "v",
     "[a]\r\nx=1\r\nk=v\r\n\r\n;c\r\n[b]\r\ny=2\r\n"},
    {"NewKeyAfterHeaderWhenSectionHasNoKeys", "[a]\r\n;c\r\n\r\n", "a", "k", "v", "[a]\r\nk=v\r\n;c\r\n\r\n"},
    {"NewKeyNotAfterLineWithoutEquals", "[a]\r\nx=1\r\nplain\r\n", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\nplain\r\n"},
    {"NewKeyAfterUnterminatedHeader", "[a]", "a", "k", "v", "[a]\r\nk=v\r\n"},
    {"NewKeyAfterUnterminatedKeyLine", "[a]\r\nx=1", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n"},
    {"NewKeyAfterLfLineKeepsLf", "[a]\nx=1\n[b]\n", "a", "k", "v", "[a]\nx=1\nk=v\r\n[b]\n"},
    {"NewKeyAfterLoneCrLine", "[a]\rx=1\r[b]\r", "a", "k", "v", "[a]\rx=1\rk=v\r\n[b]\r"},
    {"CommentedKeyIsNotReplaced", "[a]\r\n;k=1\r\n", "a", "k", "v", "[a]\r\nk=v\r\n;k=1\r\n"},
    {"NewSectionAppended", "[a]\r\nx=1\r\n", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
    {"NewSectionAfterTrailingBlankLinesKept", "[a]\r\nx=1\r\n\r\n", "b", "k", "v", "[a]\r\nx=1\r\n\r\n[b]\r\nk=v\r\n"},
    {"NewSectionAfterMissingBreak", "[a]\r\nx=1", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
    {"NewSectionAfterLoneCr", "[a]\rx=1\r", "b", "k", "v", "[a]\rx=1\r[b]\r\nk=v\r\n"},
    {"NewSectionAfterLf", "[a]\nx=1\n", "b", "k", "v", "[a]\nx=1\n[b]\r\nk=v\r\n"},
    {"DuplicateSectionsWriteTheFirst", "[a]\r\nx=1\r\n[A]\r\nk=old\r\n", "a", "k", "new",
     "[a]\r\nx=1\r\nk=new\r\n[A]\r\nk=old\r\n"},
    {"DuplicateKeysWriteTheFirst", "[a]\r\nk=1\r\nK=2\r\n", "a", "k", "9", "[a]\r\nk=9\r\nK=2\r\n"},
    {"KeyBeforeFirstSectionIgnored", "k=1\r\n[a]\r\n", "a", "k", "v", "k=1\r\n[a]\r\nk=v\r\n"},
    {"KeysBeforeAnySectionDoNotMakeASection", "k=1", "", "k", "v", "k=1\r\n[]\r\nk=v\r\n"},
    {"SectionWithoutBracketIsUsed", "[a\r\nx=1\r\n", "a", "k", "v", "[a\r\nx=1\r\nk=v\r\n"},
    {"BomKeptOnReplace", "\xEF\xBB\xBF[a]\r\nk=1\r\n", "a", "k", "2", "\xEF\xBB\xBF[a]\r\nk=2\r\n"},
    {"BomOnlyGetsNoBlankLine", "\xEF\xBB\xBF", "a", "k", "v", "\xEF\xBB\xBF[a]\r\nk=v\r\n"},
    {"NulBytesKept", "[a]\r\nk=x\0y\r\n\0\r\n"s, "a", "k", "v", "[a]\r\nk=v\r\n\0\r\n"s},
    {"NulOnlyTextGetsABreak", "\0"s, "a", "k", "v", "\0\r\n[a]\r\nk=v\r\n"s},
};

INSTANTIATE_TEST_SUITE_P(Cases, PrivateProfileWriteTest, ::testing::ValuesIn(kWriteCases),
                         [](const auto& row) { return std::string(row.param.name); });

class PrivateProfileRoundTripTest : public ::testing::TestWithParam<std::string> {};

TEST_P(PrivateProfileRoundTripTest, WrittenValueReadsBack) {
    const std::string start = "[Files]\r\nResHacker=old\r\n;note\r\n[VerInfo]\r\nInfo0=x\r\n";
    for (const char* key : {"ResHacker", "LastExeFile"}) {
        const std::string written = WithProfileValue(start, "Files", key, GetParam());
        EXPECT_EQ(ReadProfileValue(written, "files", key), GetParam()) << key;
        EXPECT_EQ(ReadProfileValue(written, "VerInfo", "Info0"), "x") << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, PrivateProfileRoundTripTest,
                         ::testing::Values("", "plain", "a=b;c", "C:\\Program Files\\rh.exe", "in \"middle\" quotes",
                                           "(\xE3\x80\x90参照\xE3\x80\x91で指定してください。)",
                                           "\x81\x79\x8E\x51\x8F\xC6\x81\x7A", std::string(1500, 'v')));

// A fresh folder per test, removed afterwards.
class PrivateProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("quillmark-profile-" + std::to_string(random()));
        ASSERT_TRUE(fs::create_directory(folder_));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }

    static std::string Content(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static void Put(const fs::path& file, std::string_view content) {
        std::ofstream out(file, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path folder_;
};

TEST_F(PrivateProfileFileTest, MissingFileReadsEmptyAndIsNotCreated) {
    const fs::path file = folder_ / "Quillmark.ini";
    EXPECT_EQ(GetPrivateProfileString("Files", "ResHacker", 1024, file), "");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(PrivateProfileFileTest, CreatesFileAndReadsBack) {
    const fs::path file = folder_ / "Quillmark.ini";
    ASSERT_TRUE(WritePrivateProfileString("Files", "ResHacker", "C:\\tools\\ResHacker.exe", file));
    EXPECT_EQ(GetPrivateProfileString("Files", "ResHacker", 1024, file), "C:\\tools\\ResHacker.exe");
    EXPECT_EQ(GetPrivateProfileString("Files", "LastExeFile", 1024, file), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"Quillmark.ini"});
}

TEST_F(PrivateProfileFileTest, JapanesePlaceholderRoundTrips) {
    const fs::path file = folder_ / "Quillmark.ini";
    const std::string placeholder = "(【参照】で指定してください。)";
    ASSERT_TRUE(WritePrivateProfileString("Files", "ResHacker", placeholder, file));
    EXPECT_EQ(GetPrivateProfileString("Files", "ResHacker", 1024, file), placeholder);
}

TEST_F(PrivateProfileFileTest, ConversionToUtf16KeepsEveryLine) {
    const fs::path file = folder_ / "Quillmark.ini";
    Put(file, "; mine\n[Files]\r\nResHacker= \"C:\\rh\" \r\n[Mine]\r\nnote=\xE5\x80\xA4");
    ASSERT_TRUE(ConvertProfileToUtf16(file));
    const std::u16string text = u"\uFEFF; mine\n[Files]\r\nResHacker= \"C:\\rh\" \r\n[Mine]\r\nnote=\u5024";
    EXPECT_EQ(Content(file), std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    ASSERT_TRUE(ConvertProfileToUtf16(file));  // already UTF-16: left as it is
    EXPECT_EQ(Content(file), std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    EXPECT_EQ(GetPrivateProfileStringW(u"Files", u"ResHacker", 1024, file), u"C:\\rh");
    EXPECT_EQ(Names(), std::vector<std::string>{"Quillmark.ini"});
    ASSERT_TRUE(ConvertProfileToUtf16(folder_ / "new.ini"));
    EXPECT_EQ(Content(folder_ / "new.ini"), "\xFF\xFE");
}

TEST_F(PrivateProfileFileTest, ConversionThatWouldLoseBytesLeavesTheFile) {
    const fs::path file = folder_ / "Quillmark.ini";
    Put(file, "[s]\r\nk=\x82\xA0\r\n");
    EXPECT_FALSE(ConvertProfileToUtf16(file));
    EXPECT_EQ(Content(file), "[s]\r\nk=\x82\xA0\r\n");
    Put(file, "[s]\r\n");
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(ConvertProfileToUtf16(file));
    EXPECT_EQ(Content(file), "[s]\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"Quillmark.ini"});
}

TEST_F(PrivateProfileFileTest, LongValueIsCutToTheBuffer) {
    const fs::path file = folder_ / "Quillmark.ini";
    std::string value;
    for (int i = 0; i < 1500; ++i) value.push_back(static_cast<char>('a' + i % 26));
    ASSERT_TRUE(WritePrivateProfileString("VerInfo", "Info0", value, file));
    EXPECT_EQ(GetPrivateProfileString("VerInfo", "Info0", 1024, file), value.substr(0, 1023));
    EXPECT_EQ(GetPrivateProfileString("VerInfo", "Info0", 2, file), "a");
    EXPECT_EQ(GetPrivateProfileString("VerInfo", "Info0", 1, file), "");
    EXPECT_EQ(GetPrivateProfileString("VerInfo", "Info0", 0, file), "");
}

TEST_F(PrivateProfileFileTest, ReadStopsAtNulAsTheBufferWould) {
    const fs::path file = folder_ / "Quillmark.ini";
    Put(file, "[s]\r\nk=ab\0cd\r\n"s);
    EXPECT_EQ(GetPrivateProfileString("s", "k", 1024, file), "ab");
}

TEST_F(PrivateProfileFileTest, SettingsLayoutInWriteOrder) {
    const fs::path file = folder_ / "Quillmark.ini";
    ASSERT_TRUE(WritePrivateProfileString("Files", "ResHacker", "C:\\rh\\ResHacker.exe", file));
    ASSERT_TRUE(WritePrivateProfileString("Files", "LastExeFile", "C:\\app\\app.exe", file));
    std::string expected =
        "[Files]\r\nResHacker=C:\\rh\\ResHacker.exe\r\nLastExeFile=C:\\app\\app.exe\r\n[VerInfo]\r\n";
    for (int i = 0; i < 10; ++i) {
        const std::string key = "Info" + std::to_string(i);
        const std::string value = i == 6 || i == 7 ? "01000000" : "text " + std::to_string(i);
        ASSERT_TRUE(WritePrivateProfileString("VerInfo", key, value, file));
        expected += key + "=" + value + "\r\n";
    }
    EXPECT_EQ(Content(file), expected);
}

TEST_F(PrivateProfileFileTest, ReplaceInPlaceKeepsOtherBytes) {
    const fs::path file = folder_ / "Quillmark.ini";
    const std::string before =
        "\xEF\xBB\xBF; kept by hand\n[Files]\nResHacker = \"C:\\old\\ResHacker.exe\" \r\nLastExeFile=x\r"
        "\n\n[VerInfo]\tnote\r\nInfo0=z";
    Put(file, before);
    ASSERT_TRUE(WritePrivateProfileString("files", "ResHacker", "C:\\new\\ResHacker.exe", file));
    EXPECT_EQ(Content(file),
              "\xEF\xBB\xBF; kept by hand\n[Files]\nResHacker=C:\\new\\ResHacker.exe\r\nLastExeFile=x\r"
              "\n\n[VerInfo]\tnote\r\nInfo0=z");
    EXPECT_EQ(Names(), std::vector<std::string>{"Quillmark.ini"});
}

TEST_F(PrivateProfileFileTest, KeepsPermissionsOfAnExistingFile) {
    const fs::path file = folder_ / "Quillmark.ini";
    Put(file, "[s]\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", file));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(PrivateProfileFileTest, WritesThroughALink) {
    const fs::path real = folder_ / "real.ini";
    const fs::path link = folder_ / "Quillmark.ini";
    Put(real, "[s]\r\nk=old\r\n");
    fs::create_symlink(real, link);
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "new", link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Content(real), "[s]\r\nk=new\r\n");
}

TEST_F(PrivateProfileFileTest, MissingFolderFailsAndCreatesNothing) {
    const fs::path file = folder_ / "missing" / "Quillmark.ini";
    EXPECT_FALSE(WritePrivateProfileString("Files", "ResHacker", "x", file));
    EXPECT_FALSE(fs::exists(folder_ / "missing"));
    EXPECT_TRUE(Names().empty());
}

TEST_F(PrivateProfileFileTest, FolderInPlaceOfFileFailsAndLeavesNothing) {
    const fs::path file = folder_ / "Quillmark.ini";
    fs::create_directory(file);
    EXPECT_FALSE(WritePrivateProfileString("Files", "ResHacker", "x", file));
    EXPECT_EQ(GetPrivateProfileString("Files", "ResHacker", 1024, file), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"Quillmark.ini"});
}

TEST_F(PrivateProfileFileTest, ReadOnlyFileFailsAndStaysAsItWas) {
    const fs::path file = folder_ / "Quillmark.ini";
    Put(file, "[s]\r\nk=old\r\n");
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "new", file));
    EXPECT_EQ(Content(file), "[s]\r\nk=old\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"Quillmark.ini"});
}

TEST_F(PrivateProfileFileTest, ReadOnlyFolderFails) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not stop root from writing";
    const fs::path file = folder_ / "Quillmark.ini";
    Put(file, "[s]\r\nk=old\r\n");
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "new", file));
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "new", folder_ / "Other.ini"));
    fs::permissions(folder_, fs::perms::owner_all);
    EXPECT_EQ(Content(file), "[s]\r\nk=old\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"Quillmark.ini"});
}

}  // namespace
}  // namespace quillmark::portable
