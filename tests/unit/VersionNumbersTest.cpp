#include <gtest/gtest.h>

#include "script/NumberFormat.h"
#include "script/VersionNumbers.h"
#include "tests/support/RecordingPlatform.h"

namespace quillmark {
namespace {

using testing::Utf8;

struct WorkedExample {
    std::int32_t major, minor, revision;
    const wchar_t* text;
    const wchar_t* fileLine;
    const wchar_t* productLine;
};

class VersionWorkedExamples : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(VersionWorkedExamples, GiveTextAndBothLines) {
    const WorkedExample& e = GetParam();
    const VersionRow row{e.major, e.minor, 0, e.revision};
    EXPECT_EQ(Utf8(VersionText(row)), Utf8(e.text));
    EXPECT_EQ(Utf8(VersionLine(L"FILEVERSION ", row)), Utf8(e.fileLine));
    EXPECT_EQ(Utf8(VersionLine(L"PRODUCTVERSION ", row)), Utf8(e.productLine));
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionWorkedExamples,
    ::testing::Values(
        WorkedExample{1, 0, 0, L"1.00", L"FILEVERSION 1,0,0,0", L"PRODUCTVERSION 1,0,0,0"},
        WorkedExample{1, 2, 3, L"1.02.0003", L"FILEVERSION 1,2,0,3", L"PRODUCTVERSION 1,2,0,3"},
        WorkedExample{0, 5, 0, L"0.05", L"FILEVERSION 0,5,0,0", L"PRODUCTVERSION 0,5,0,0"},
        WorkedExample{2, 10, 1, L"2.10.0001", L"FILEVERSION 2,10,0,1", L"PRODUCTVERSION 2,10,0,1"},
        WorkedExample{12, 34, 5678, L"12.34.5678", L"FILEVERSION 12,34,0,5678", L"PRODUCTVERSION 12,34,0,5678"},
        WorkedExample{99, 99, 9999, L"99.99.9999", L"FILEVERSION 99,99,0,9999", L"PRODUCTVERSION 99,99,0,9999"}));

struct RangeCase {
    VersionTable table;
    const wchar_t* message;  // nullptr: passes
};

class VersionRanges : public ::testing::TestWithParam<RangeCase> {};

TEST_P(VersionRanges, ReportTheFirstFailureOnly) {
    const RangeCase& c = GetParam();
    const auto failure = FirstRangeFailure(c.table);
    if (c.message == nullptr) {
        EXPECT_FALSE(failure.has_value()) << Utf8(failure.value_or(L""));
    } else {
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(Utf8(*failure), Utf8(c.message));
    }
}

constexpr VersionRow kGood{1, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Bounds, VersionRanges,
    ::testing::Values(RangeCase{{VersionRow{0, 0, 0, 0}, VersionRow{99, 99, 0, 9999}}, nullptr},
                      RangeCase{{VersionRow{100, 0, 0, 0}, kGood}, L"Major Version : 0～99"},
                      RangeCase{{VersionRow{1, 100, 0, 0}, kGood}, L"Minor Version : 0～99"},
                      RangeCase{{VersionRow{1, 0, 0, 10000}, kGood}, L"Revision : 0～9999"},
                      RangeCase{{VersionRow{-1, 0, 0, 0}, kGood}, L"Major Version : 0～99"},
                      RangeCase{{kGood, VersionRow{1, -1, 0, 0}}, L"Minor Version : 0～99"},
                      RangeCase{{kGood, VersionRow{1, 0, 0, -1}}, L"Revision : 0～9999"},
                      // file revision before product major
                      RangeCase{{VersionRow{1, 0, 0, 10000}, VersionRow{100, 0, 0, 0}}, L"Revision : 0～9999"},
                      // within a row: major before minor before revision
                      RangeCase{{VersionRow{1, 100, 0, 10000}, kGood}, L"Minor Version : 0～99"},
                      RangeCase{{VersionRow{INT32_MIN, 0, 0, 0}, kGood}, L"Major Version : 0～99"}));

TEST(VersionRanges, TildeIsTheFullwidthOne) {
    const auto failure = FirstRangeFailure({VersionRow{100, 0, 0, 0}, kGood});
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find(L'\uFF5E'), std::wstring::npos);
    EXPECT_EQ(failure->find(L'\u301C'), std::wstring::npos);
}

struct FormatCase {
    double value;
    int digits;
    const wchar_t* expected;
};

class NumberPatterns : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberPatterns, PadAndRoundHalfAwayFromZero) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(Utf8(FormatWithMinDigits(c.value, c.digits)), Utf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Patterns, NumberPatterns,
                         ::testing::Values(FormatCase{0, 1, L"0"}, FormatCase{7, 2, L"07"}, FormatCase{42, 4, L"0042"},
                                           FormatCase{1020003, 8, L"01020003"}, FormatCase{100000000, 8, L"100000000"},
                                           FormatCase{2.5, 8, L"00000003"}, FormatCase{1.5, 1, L"2"},
                                           FormatCase{-5, 8, L"-00000005"}, FormatCase{-2.5, 1, L"-3"},
                                           FormatCase{-0.4, 8, L"00000000"},
                                           FormatCase{1e20, 8, L"100000000000000000000"}));

}  // namespace
}  // namespace quillmark
