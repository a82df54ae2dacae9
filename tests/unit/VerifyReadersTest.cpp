#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "script/ScriptFilling.h"
#include "script/VersionScriptTemplate.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/SyntheticFiles.h"
#include "verify/Comparison.h"
#include "verify/EditorLog.h"
#include "verify/PeImage.h"
#include "verify/PeResources.h"
#include "verify/ResFile.h"
#include "verify/ScriptExpectation.h"
#include "verify/Sha256.h"
#include "verify/VersionInfo.h"

namespace quillmark::testing {
namespace {

using verify::ByteRange;
using verify::NotProgramReason;

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// --- PE headers ------------------------------------------------------------

struct PeCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> bytes;
    std::optional<NotProgramReason> refused;  // nothing: a program
    verify::PeKind kind = verify::PeKind::Pe32Plus;
    std::uint64_t imageEnd = 0x800;
    bool isSigned = false;
    std::vector<ByteRange> appended = {};
};

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t length) {
    bytes.resize(length);
    return bytes;
}

std::vector<std::uint8_t> WithSymbols(std::uint32_t stringsSize) {
    // 10 symbols at 0x800, then the strings: their size, and text
    auto bytes = SyntheticPe({.appended = 180 + stringsSize});
    Put32(bytes, 0x80 + 4 + 8, 0x800);
    Put32(bytes, 0x80 + 4 + 12, 10);
    Put32(bytes, 0x800 + 180, stringsSize);
    return bytes;
}

const PeCase kPeCases[] = {
    {"Pe32", [] { return SyntheticPe({.pe32Plus = false}); }, {}, verify::PeKind::Pe32},
    {"Pe32Plus", [] { return SyntheticPe({}); }, {}},
    {"NoSections", [] { return SyntheticPe({.sections = 0}); }, {}, verify::PeKind::Pe32Plus, 0x400},
    {"Empty", [] { return std::vector<std::uint8_t>{}; }, NotProgramReason::NoMzHeader},
    {"TextFile", [] { return std::vector<std::uint8_t>(200, 'x'); }, NotProgramReason::NoMzHeader},
    {"MzOnly",
     [] {
         return std::vector<std::uint8_t>{'M', 'Z', 0, 0};
     },
     NotProgramReason::NoPeHeader},
    {"LfanewPastTheEnd", [] { return Cut(SyntheticPe({}), 0x70); }, NotProgramReason::NoPeHeader},
    {"NoPeSignature",
     [] {
         auto b = SyntheticPe({});
         b[0x81] = 'X';
         return b;
     },
     NotProgramReason::NoPeHeader},
    {"RomImageMagic",
     [] {
         auto b = SyntheticPe({});
         b[0x80 + 24] = 0x07;
         b[0x80 + 25] = 0x01;
         return b;
     },
     NotProgramReason::UnknownOptionalHeader},
    {"SectionTableCut", [] { return Cut(SyntheticPe({}), kSyntheticSectionTable64 + 50); },
     NotProgramReason::TruncatedHeaders},
    {"OptionalHeaderTooShort",
     [] {
         auto b = SyntheticPe({});
         b[0x80 + 20] = 40;
         b[0x80 + 21] = 0;
         return b;
     },
     NotProgramReason::TruncatedHeaders},
    {"CutInHalf", [] { return Cut(SyntheticPe({}), 0x600); }, NotProgramReason::SectionsPastEnd},
    {"Signed", [] { return SyntheticPe({.certificates = 0x300}); }, {}, verify::PeKind::Pe32Plus, 0x800, true},
    {"Appended",
     [] { return SyntheticPe({.appended = 1000}); },
     {},
     verify::PeKind::Pe32Plus,
     0x800,
     false,
     {{0x800, 1000}}},
    {"AppendedAroundCertificates",
     [] { return SyntheticPe({.appended = 100, .certificates = 0x200, .appendedAfterCert = 50}); },
     {},
     verify::PeKind::Pe32Plus,
     0x800,
     true,
     {{0x800, 100}, {0x800 + 100 + 0x200, 50}}},
    {"SignedPe32WithAppended",
     [] { return SyntheticPe({.pe32Plus = false, .appended = 64, .certificates = 16}); },
     {},
     verify::PeKind::Pe32,
     0x800,
     true,
     {{0x800, 64}}},
    {"SymbolTableIsPartOfTheImage", [] { return WithSymbols(40); }, {}, verify::PeKind::Pe32Plus, 0x800 + 180 + 40},
    {"DataAfterTheSymbolTable",
     [] {
         auto b = WithSymbols(40);
         b.resize(b.size() + 30, 0xAA);
         return b;
     },
     {},
     verify::PeKind::Pe32Plus,
     0x800 + 180 + 40,
     false,
     {{0x800 + 180 + 40, 30}}},
};

class PeHeaders : public ::testing::TestWithParam<PeCase> {};

TEST_P(PeHeaders, TellAProgramAndWhatFollowsItsImage) {
    const auto bytes = GetParam().bytes();
    const verify::PeReading reading = verify::ReadPeHeaders(bytes, bytes.size());
    if (GetParam().refused) {
        ASSERT_TRUE(std::holds_alternative<verify::NotAProgram>(reading));
        EXPECT_EQ(std::get<verify::NotAProgram>(reading).reason, *GetParam().refused);
        return;
    }
    ASSERT_TRUE(std::holds_alternative<verify::PeFacts>(reading));
    const auto& facts = std::get<verify::PeFacts>(reading);
    EXPECT_EQ(facts.kind, GetParam().kind);
    EXPECT_EQ(facts.imageEnd, GetParam().imageEnd);
    EXPECT_EQ(facts.IsSigned(), GetParam().isSigned);
    EXPECT_EQ(verify::AppendedData(facts), GetParam().appended);
}

INSTANTIATE_TEST_SUITE_P(Files, PeHeaders, ::testing::ValuesIn(kPeCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(PeHeaders, AskForTheBytesTheyNeedBeyondTheFirstRead) {
    const auto bytes = SyntheticPe({.lfanew = 0x2000 - 24});
    const auto first = verify::ReadPeHeaders(verify::Bytes(bytes).first(0x1000), bytes.size());
    ASSERT_TRUE(std::holds_alternative<verify::NeedHeaderBytes>(first));
    EXPECT_EQ(std::get<verify::NeedHeaderBytes>(first).length, 0x2000u + 2);

    const auto symbols = WithSymbols(40);
    const auto cut = verify::ReadPeHeaders(verify::Bytes(symbols).first(0x800), symbols.size());
    ASSERT_TRUE(std::holds_alternative<verify::NeedSymbolStringsSize>(cut));
    EXPECT_EQ(std::get<verify::NeedSymbolStringsSize>(cut).offset, 0x800u + 180);
    const auto told = verify::ReadPeHeaders(verify::Bytes(symbols).first(0x800), symbols.size(), 40);
    ASSERT_TRUE(std::holds_alternative<verify::PeFacts>(told));
    EXPECT_EQ(std::get<verify::PeFacts>(told).imageEnd, 0x800u + 180 + 40);
}

TEST(PeHeaders, AStaleCertificateTableInsideTheImageHidesNoAppendedData) {
    // An updater that put a section where the table was, without mending the directory.
    verify::PeFacts facts;
    facts.fileSize = 0x5000;
    facts.imageEnd = 0x4000;
    facts.certificates = {0x1000, 0x200};
    EXPECT_EQ(verify::AppendedData(facts), (std::vector<ByteRange>{{0x4000, 0x1000}}));
    facts.certificates = {0x4800, 0x2000};  // runs past the end
    EXPECT_EQ(verify::AppendedData(facts), (std::vector<ByteRange>{{0x4000, 0x800}}));
}

// --- a program's resource tree ------------------------------------------------

using verify::ResourceFault;

const std::vector<PeResource> kResources = {
    {{3, {}}, {1, {}}, 0x0411, {1, 2, 3, 4, 5}},       {{3, {}}, {2, {}}, 0x0411, {6, 7}},
    {{14, {}}, {{}, L"MAINICON"}, 0x0409, {8, 9, 10}}, {{{}, L"MYTYPE"}, {7, {}}, 0x0411, {}},
    {{16, {}}, {1, {}}, 0x0411, {11, 12, 13, 14}},     {{16, {}}, {1, {}}, 0x0409, {15}},
};

verify::PeFacts FactsOf(const std::vector<std::uint8_t>& bytes) {
    return std::get<verify::PeFacts>(verify::ReadPeHeaders(bytes, bytes.size()));
}

// The sample program with its headers or tree broken by `patch`, given the
// directory's file offset and where the headers say where it is.
std::vector<std::uint8_t> Broken(
    const std::function<void(std::vector<std::uint8_t>&, std::size_t, std::size_t)>& patch) {
    auto bytes = SyntheticPe({.resources = kResources});
    patch(bytes, FactsOf(bytes).resourceDirectory.offset, 0x80 + 24 + 112 + 2 * 8);
    return bytes;
}

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) { return *verify::U32At(bytes, at); }

struct ResourceCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> bytes;
    std::variant<std::vector<PeResource>, ResourceFault> expected;
};

const ResourceCase kResourceCases[] = {
    {"NumberedAndNamedItems", [] { return SyntheticPe({.resources = kResources}); }, kResources},
    {"NoResourceDirectory", [] { return SyntheticPe({}); }, std::vector<PeResource>{}},
    {"DirectoryOutsideTheSections",
     [] { return Broken([](auto& b, std::size_t, std::size_t entry) { Put32(b, entry, 0x90000); }); },
     ResourceFault::DirectoryOutsideSections},
    // Editors that add resources leave the size stale; the loader ignores it.
    {"StaleDirectorySizeIsNoBound",
     [] { return Broken([](auto& b, std::size_t, std::size_t entry) { Put32(b, entry + 4, 40); }); }, kResources},
    {"TablesRunPastTheSection",
     [] {
         return Broken([](auto& b, std::size_t, std::size_t entry) {
             const verify::PeSection section = FactsOf(b).sections.back();
             Put32(b, entry, static_cast<std::uint32_t>(section.rva + section.raw.length - 8));
         });
     },
     ResourceFault::RunsPastItsBytes},
    {"TypeEntryPointsBackToTheRoot",
     [] { return Broken([](auto& b, std::size_t dir, std::size_t) { Put32(b, dir + 20, 0x80000000); }); },
     ResourceFault::Loops},
    {"DataWhereATableBelongs",
     [] {
         return Broken([](auto& b, std::size_t dir, std::size_t) { Put32(b, dir + 20, U32(b, dir + 20) & 0xFFFF); });
     },
     ResourceFault::WrongShape},
    {"MadeUpEntryCount",  // named and numbered
     [] { return Broken([](auto& b, std::size_t dir, std::size_t) { Put32(b, dir + 12, 0xFFFFFFFF); }); },
     ResourceFault::TooManyEntries},
    {"DataOutsideTheSections",
     [] {
         return Broken([](auto& b, std::size_t dir, std::size_t) {
             const std::size_t names = dir + (U32(b, dir + 20) & 0x7FFFFFFF);
             const std::size_t languages = dir + (U32(b, names + 20) & 0x7FFFFFFF);
             Put32(b, dir + U32(b, languages + 20), 0x90000);
         });
     },
     ResourceFault::DataOutsideSections},
};

class ResourceDirectory : public ::testing::TestWithParam<ResourceCase> {};

TEST_P(ResourceDirectory, ListsEveryItemOrSaysWhyNot) {
    const auto bytes = GetParam().bytes();
    const auto facts = FactsOf(bytes);
    const auto directory = verify::Bytes(bytes).subspan(facts.resourceDirectory.offset, facts.resourceDirectory.length);
    const verify::ResourceReading reading = verify::ReadResourceDirectory(directory, facts);
    if (const auto* fault = std::get_if<ResourceFault>(&GetParam().expected)) {
        ASSERT_TRUE(std::holds_alternative<ResourceFault>(reading));
        EXPECT_EQ(std::get<ResourceFault>(reading), *fault);
        return;
    }
    const auto& expected = std::get<std::vector<PeResource>>(GetParam().expected);
    ASSERT_TRUE(std::holds_alternative<std::vector<verify::ResItem>>(reading));
    const auto& items = std::get<std::vector<verify::ResItem>>(reading);
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].type, expected[i].type) << i;
        EXPECT_EQ(items[i].name, expected[i].name) << i;
        EXPECT_EQ(items[i].language, expected[i].language) << i;
        const auto data = verify::Bytes(bytes).subspan(items[i].data.offset, items[i].data.length);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), expected[i].data.begin(), expected[i].data.end())) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, ResourceDirectory, ::testing::ValuesIn(kResourceCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(ResourceDirectory, AsksForMoreOfTheDirectoryThanItsFirstBytes) {
    const auto bytes = SyntheticPe({.resources = kResources});
    const auto facts = FactsOf(bytes);
    const auto directory = verify::Bytes(bytes).subspan(facts.resourceDirectory.offset, facts.resourceDirectory.length);
    const auto cut = verify::ReadResourceDirectory(directory.first(40), facts);
    ASSERT_TRUE(std::holds_alternative<verify::NeedResourceBytes>(cut));
    EXPECT_EQ(std::get<verify::NeedResourceBytes>(cut).length, 16u + 4 * 8);  // the root's four entries
}

// --- .res files and version blocks ------------------------------------------

TEST(ResFile, ListsEveryItemWithItsLanguageAndData) {
    const auto block = VersionBlock(SampleVersion());
    const std::vector<std::uint8_t> odd{1, 2, 3};
    const auto bytes = ResFileOf({{16, 1, 0x0411, block}, {16, 1, 0x0409, odd}, {10, 7, 0, {}}, {24, 1, 0, odd}});
    const auto items = verify::ReadResFile(bytes);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 4u);
    EXPECT_EQ((*items)[0].type.ordinal, 16);
    EXPECT_EQ((*items)[0].language, 0x0411);
    EXPECT_EQ((*items)[0].data.length, block.size());
    EXPECT_EQ((*items)[1].language, 0x0409);
    EXPECT_EQ((*items)[1].data.length, 3u);
    EXPECT_EQ((*items)[2].data.length, 0u);
    EXPECT_EQ((*items)[3].type.ordinal, 24);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), bytes.begin() + static_cast<long>((*items)[0].data.offset)));
}

TEST(ResFile, ReadsNamedTypesAndNames) {
    std::vector<std::uint8_t> bytes = ResFileOf({});
    // an item of type "MYTYPE", name "KEEP" (texts instead of numbers)
    std::vector<std::uint8_t> item{4, 0, 0, 0, 0, 0, 0, 0};
    for (const wchar_t* text : {L"MYTYPE", L"KEEP"}) {
        for (const wchar_t* c = text;; ++c) {
            item.push_back(static_cast<std::uint8_t>(*c));
            item.push_back(0);
            if (*c == 0) break;
        }
    }
    while (item.size() % 4 != 0) item.push_back(0);
    item.resize(item.size() + 16, 0);
    item[item.size() - 10] = 0x09;  // language 0x0409
    item[item.size() - 9] = 0x04;
    Put32(item, 4, static_cast<std::uint32_t>(item.size()));
    item.insert(item.end(), {'d', 'a', 't', 'a'});
    bytes.insert(bytes.end(), item.begin(), item.end());
    const auto items = verify::ReadResFile(bytes);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 1u);
    EXPECT_EQ((*items)[0].type.text, L"MYTYPE");
    EXPECT_EQ((*items)[0].name.text, L"KEEP");
    EXPECT_EQ((*items)[0].language, 0x0409);
    EXPECT_EQ((*items)[0].data.length, 4u);
}

TEST(ResFile, RefusesWhatIsCutShortOrNoResourceFile) {
    const auto good = ResFileOf({{16, 1, 0x0411, VersionBlock(SampleVersion())}});
    EXPECT_FALSE(verify::ReadResFile(Cut(good, good.size() - 40)));
    EXPECT_FALSE(verify::ReadResFile(Cut(good, 40)));
    EXPECT_FALSE(verify::ReadResFile(std::vector<std::uint8_t>(100, 'x')));
    auto tinyHeader = good;
    Put32(tinyHeader, 36, 12);  // the second item's header size
    EXPECT_FALSE(verify::ReadResFile(tinyHeader));
    auto padded = good;
    padded.resize(padded.size() + 8, 0);  // zero padding after the last item
    EXPECT_TRUE(verify::ReadResFile(padded));
    EXPECT_TRUE(verify::ReadResFile(std::vector<std::uint8_t>{}));
}

verify::VersionValues ValuesIn(const std::vector<std::uint8_t>& block, const std::wstring& table = L"041104B0") {
    const auto info = verify::ReadVersionInfo(block);
    if (!info) return {};
    return verify::ValuesOf(*info, table, SampleVersion().Keys());
}

TEST(VersionInfo, ReadsTheFixedVersionsAndEveryStringIncludingEmptyOnes) {
    const auto expected = SampleVersion();
    const auto values = ValuesIn(VersionBlock(expected));
    ASSERT_TRUE(values.found);
    EXPECT_TRUE(verify::Compare(expected, values).empty());
    EXPECT_EQ(values.strings[2], std::optional<std::wstring>(L""));  // FileDescription is empty
}

TEST(VersionInfo, ReadsAnOddSizedBlockAndTablesInAnyLetterCase) {
    auto expected = SampleVersion();
    auto block = VersionBlock(expected);
    block.push_back(0);  // odd: one byte past what the root counts, then a root that counts it
    block[0] = static_cast<std::uint8_t>(block.size());
    block[1] = static_cast<std::uint8_t>(block.size() >> 8);
    EXPECT_TRUE(verify::Compare(expected, ValuesIn(block)).empty());
    EXPECT_TRUE(verify::Compare(expected, ValuesIn(VersionBlock(expected), L"041104b0")).empty());
}

TEST(VersionInfo, AnEmptyStringWithoutAnyValueBytesReadsAsEmpty) {
    auto expected = SampleVersion();
    auto block = VersionBlock(expected);
    // FileDescription's value length set to 0: no text at all
    const std::u16string key = u"FileDescription";
    auto at = std::search(block.begin(), block.end(), reinterpret_cast<const std::uint8_t*>(key.data()),
                          reinterpret_cast<const std::uint8_t*>(key.data() + key.size()));
    ASSERT_NE(at, block.end());
    at[-4] = 0;
    at[-3] = 0;
    EXPECT_TRUE(verify::Compare(expected, ValuesIn(block)).empty());
}

TEST(VersionInfo, RefusesWhatIsNoVersionBlockAndReadsACutOneAsFarAsItGoes) {
    EXPECT_FALSE(verify::ReadVersionInfo(std::vector<std::uint8_t>{}));
    EXPECT_FALSE(verify::ReadVersionInfo(std::vector<std::uint8_t>(64, 0xFF)));
    auto block = VersionBlock(SampleVersion());
    // The root is longer than the block: it ends where the bytes do, in
    // the translation's value.
    const auto cut = verify::ReadVersionInfo(Cut(block, block.size() - 8));
    ASSERT_TRUE(cut);
    EXPECT_TRUE(verify::Compare(SampleVersion(), ValuesIn(Cut(block, block.size() - 8))).empty());
    EXPECT_TRUE(cut->translations.empty());

    auto wrongSignature = block;
    wrongSignature[40] ^= 0xFF;  // the fixed part's signature, after the root's key
    const auto noFixed = ValuesIn(wrongSignature);
    EXPECT_TRUE(noFixed.found);
    EXPECT_FALSE(noFixed.fixed);

    const auto otherTable = ValuesIn(block, L"040904B0");
    EXPECT_TRUE(std::all_of(otherTable.strings.begin(), otherTable.strings.end(), [](const auto& s) { return !s; }));
}

TEST(VersionInfo, TellsASixteenBitBlockFromAWideOneByTheWordAtOffsetFour) {
    auto binaryRoot = VersionBlock(SampleVersion());
    binaryRoot[4] = 0;  // a root whose type word says binary
    const auto old = SixteenBitVersionBlock(SampleVersion());
    const std::pair<std::vector<std::uint8_t>, verify::VersionLayout> cases[] = {
        {VersionBlock(SampleVersion()), verify::VersionLayout::Wide},
        {binaryRoot, verify::VersionLayout::Wide},
        {old, verify::VersionLayout::Ansi16},
        {Cut(old, 5), verify::VersionLayout::Unknown},
        {std::vector<std::uint8_t>(64, 0xFF), verify::VersionLayout::Unknown},
    };
    for (const auto& [block, layout] : cases) EXPECT_EQ(verify::LayoutOf(block), layout) << block.size();
    EXPECT_FALSE(verify::ReadVersionInfo(old));
}

// Each shape as the reader reads it: the values it was made of, but for
// the strings its fault hides or changes.
struct ShapeRow {
    const char* shape;
    bool fixed;
    bool translated;
    std::vector<std::size_t> hidden;  // by index into the sample's keys
    std::vector<std::pair<std::size_t, std::wstring>> changed = {};
};

const ShapeRow kShapeRows[] = {
    {"Compiled", true, true, {}},
    {"BinaryStringCountingCharacters", true, true, {}},  // "Quillmark Sample Company Ltd", whole
    {"KeyWithoutNul", true, true, {0}},
    {"OverlongFirstLength", false, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    {"RootPastData", true, true, {}},
    {"StringFileInfoPastData", true, false, {}},
    {"StringTablePastData", true, true, {}},
    {"StringPastData", true, true, {4, 5, 6, 7, 8, 9}},
    {"VarFileInfoPastData", true, true, {}},
    {"ValuePastItsNode", true, true, {}, {{4, L"～X"}}},
};

TEST(VersionInfo, ReadsEachShapeNoFurtherThanItsNodesAndTheBlock) {
    const auto shapes = VersionShapes();
    ASSERT_EQ(shapes.size(), std::size(kShapeRows));
    for (std::size_t s = 0; s < shapes.size(); ++s) {
        const ShapeRow& row = kShapeRows[s];
        const VersionShape& shape = shapes[s];
        SCOPED_TRACE(row.shape);
        ASSERT_STREQ(shape.name, row.shape);
        const auto info = verify::ReadVersionInfo(shape.block);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->fixed.has_value(), row.fixed);
        const std::vector<verify::Translation> translations{{0x0411, 0x04B0}};
        EXPECT_EQ(info->translations, row.translated ? translations : std::vector<verify::Translation>{});
        std::vector<std::optional<std::wstring>> expected;
        for (const auto& [key, text] : shape.values.strings) expected.emplace_back(text);
        for (std::size_t k : row.hidden) expected[k].reset();
        for (const auto& [k, text] : row.changed) expected[k] = text;
        EXPECT_EQ(verify::ReadVersionValues(shape.block, shape.values.stringTable, shape.values.Keys()).strings,
                  expected);
    }
}

TEST(VersionInfo, ShowsTheTableTheFirstTranslationNamesElseTheFirst) {
    const auto read = verify::ReadVersionInfo(VersionBlock(SampleVersion()));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->translations, (std::vector<verify::Translation>{{0x0411, 0x04B0}}));
    const std::vector<std::wstring> tables{L"040904B0", L"041104b0"};
    const std::pair<std::vector<verify::Translation>, const wchar_t*> cases[] = {
        {{{0x0411, 0x04B0}, {0x0409, 0x04B0}}, L"041104b0"},  // named, in another letter case
        {{{0x0407, 0x04E4}}, L"040904B0"},                    // no table of that name
        {{}, L"040904B0"},
    };
    for (const auto& [translations, shown] : cases) {
        verify::VersionInfo info{{}, {{tables[0], {}}, {tables[1], {}}}, translations};
        ASSERT_NE(verify::ShownStringTable(info), nullptr);
        EXPECT_EQ(verify::ShownStringTable(info)->key, shown);
    }
    EXPECT_EQ(verify::ShownStringTable(verify::VersionInfo{}), nullptr);
}

// --- the script and the comparison ------------------------------------------

FieldValues SampleFields() {
    FieldValues fields;
    const auto sample = SampleVersion();
    for (std::size_t f = 0; f < 10; ++f) {
        fields.captions[f] = sample.strings[f].first;
        fields.texts[f] = sample.strings[f].second;
    }
    return fields;
}

TEST(ScriptExpectation, ReadsBackExactlyWhatTheFillingWrote) {
    const std::wstring script = FillVersionScript(BuildVersionScriptTemplate(), SampleFields(),
                                                  VersionTable{{{1, 2, 0, 3}, {12, 34, 0, 5678}}});
    const auto expected = verify::ExpectedFromScript(script);
    ASSERT_TRUE(std::holds_alternative<verify::ExpectedVersion>(expected));
    const auto& read = std::get<verify::ExpectedVersion>(expected);
    EXPECT_EQ(read.fixed, SampleVersion().fixed);
    EXPECT_EQ(read.stringTable, L"041104B0");
    EXPECT_EQ(read.strings, SampleVersion().strings);
}

TEST(ScriptExpectation, TakesAValueAsItStandsBetweenItsQuotesAndRefusesABrokenLine) {
    FieldValues fields = SampleFields();
    fields.texts[0] = L"say \"hi\" in C:\\dir";
    const VersionTable versions{{{1, 0, 0, 0}, {1, 0, 0, 0}}};
    const auto quoted = verify::ExpectedFromScript(FillVersionScript(BuildVersionScriptTemplate(), fields, versions));
    ASSERT_TRUE(std::holds_alternative<verify::ExpectedVersion>(quoted));
    EXPECT_EQ(std::get<verify::ExpectedVersion>(quoted).strings[0].second, L"say \"hi\" in C:\\dir");

    fields.texts[1] = L"two\r\nlines";
    const auto broken = verify::ExpectedFromScript(FillVersionScript(BuildVersionScriptTemplate(), fields, versions));
    ASSERT_TRUE(std::holds_alternative<verify::ScriptUnreadable>(broken));
    EXPECT_EQ(std::get<verify::ScriptUnreadable>(broken).line, L"\tValue \"CompanyName\", \"two");
    EXPECT_TRUE(std::holds_alternative<verify::ScriptUnreadable>(verify::ExpectedFromScript(L"")));
}

TEST(Comparison, NamesEachValueThatDiffersOrIsMissing) {
    const auto expected = SampleVersion();
    verify::VersionValues found = ReadBackOf(expected, {0x0411}).shown;
    found.fixed->product[3] = 1;
    found.strings[1] = L"(CompanyName)";
    found.strings[9] = std::nullopt;
    EXPECT_EQ(verify::Compare(expected, found),
              (std::vector<verify::Difference>{{L"PRODUCTVERSION", L"12.34.0.5678", L"12.34.0.1"},
                                               {L"CompanyName", L"Quillmark 株式会社", L"(CompanyName)"},
                                               {L"OriginalFilename", L"app.exe", std::nullopt}}));
    EXPECT_EQ(verify::Compare(expected, verify::VersionValues{}).size(), 12u);  // nothing there at all
}

// The published test vectors, fed in pieces of every kind of length: the
// 56-byte one needs a block of padding of its own.
struct DigestRow {
    const char* input;
    std::size_t piece;
    const char* hex;
};

class Sha256Vectors : public ::testing::TestWithParam<DigestRow> {};

TEST_P(Sha256Vectors, MatchThePublishedDigests) {
    const std::string input = GetParam().input;
    verify::Sha256 digest;
    for (std::size_t at = 0; at < input.size(); at += GetParam().piece) {
        const std::string piece = input.substr(at, GetParam().piece);
        digest.Add({reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()});
    }
    std::string hex;
    for (const std::uint8_t byte : digest.Finish()) {
        hex += "0123456789abcdef"[byte >> 4];
        hex += "0123456789abcdef"[byte & 15];
    }
    EXPECT_EQ(hex, GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(
    Digests, Sha256Vectors,
    ::testing::Values(DigestRow{"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
                      DigestRow{"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
                      DigestRow{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 7,
                                "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
                      DigestRow{
                          "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopq"
                          "rlmnopqrsmnopqrstnopqrstu",
                          100, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"}));

// --- the editor's log of a command-line run ---------------------------------------------

struct EditorLogCase {
    const char* name;
    const wchar_t* log;
    const wchar_t* launched;
    bool sameCommand;
    std::vector<std::wstring> results;
    bool reportsError;
};

constexpr const wchar_t* kAddSkipLine =
    L"\"C:\\RH\\ResHacker.exe\" -addskip D:\\a_original.exe, D:\\a.exe, \"C:\\Q\\initial.res\" ,,,";

class EditorLog : public ::testing::TestWithParam<EditorLogCase> {};

TEST_P(EditorLog, GivesTheResultLinesOfTheCommandLaunched) {
    const verify::EditorLogText text = verify::ParseEditorLog(GetParam().log);
    EXPECT_EQ(verify::LoggedCommandIs(text.commandLine, GetParam().launched), GetParam().sameCommand);
    EXPECT_EQ(text.results, GetParam().results);
    EXPECT_EQ(std::any_of(text.results.begin(), text.results.end(), verify::IsErrorLine), GetParam().reportsError);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EditorLog,
    ::testing::Values(
        // as measured: the time, the program quoted and the operands without their
        // quotes, two blanks before the result
        EditorLogCase{"Added",
                      L"[09 Dec 2026, 19:48:30]\r\n\"C:\\RH\\ResHacker.exe\" -addskip D:\\a_original.exe, "
                      L"D:\\a.exe, C:\\Q\\initial.res ,,,\r\n  Added: VERSIONINFO,1,1041\r\n",
                      kAddSkipLine,
                      true,
                      {L"Added: VERSIONINFO,1,1041"},
                      false},
        EditorLogCase{"NothingModified",
                      L"[09 Dec 2026, 19:48:31]\r\n-modify D:\\a_original.exe, D:\\a.exe, "
                      L"\"C:\\Q\\initial.res\" ,,,\r\n\r\nCommands completed\r\n",
                      L"\"C:\\RH\\ResHacker.exe\" -modify D:\\a_original.exe, D:\\a.exe, \"C:\\Q\\initial.res\" ,,,",
                      true,
                      {L"Commands completed"},
                      false},
        EditorLogCase{"ErrorWithTheWholeCommandLineInOtherCase",
                      L"[9.12.2026 19:48]\n\"c:\\rh\\reshacker.exe\"   -DELETE a.exe, b.exe, VERSIONINFO,1,1033\n"
                      L"Error: No matching resource found.",
                      L"\"C:\\RH\\ResHacker.exe\" -delete a.exe, b.exe, VERSIONINFO,1,1033",
                      true,
                      {L"Error: No matching resource found."},
                      true},
        EditorLogCase{"AnotherRunsLog",
                      L"[09 Dec 2026]\r\n-modify x.exe, y.exe, \"z.res\" ,,,\r\n  Modified: 16,1,1041\r\n",
                      kAddSkipLine,
                      false,
                      {L"Modified: 16,1,1041"},
                      false},
        EditorLogCase{"Empty", L"", kAddSkipLine, false, {}, false}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace quillmark::testing
