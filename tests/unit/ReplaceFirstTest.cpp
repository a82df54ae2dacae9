#include <gtest/gtest.h>

#include "script/ReplaceFirst.h"
#include "tests/support/RecordingPlatform.h"

namespace quillmark {
namespace {

struct ReplaceCase {
    const wchar_t* source;
    const wchar_t* search;
    const wchar_t* replacement;
    const wchar_t* expected;
};

class ReplaceFirstTable : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceFirstTable, ReplacesOnlyTheLeftmostExactOccurrence) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(testing::Utf8(ReplaceFirst(c.source, c.search, c.replacement)), testing::Utf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceFirstTable,
                         ::testing::Values(ReplaceCase{L"abc", L"x", L"y", L"abc"},      // not found
                                           ReplaceCase{L"a-a-a", L"a", L"b", L"b-a-a"},  // leftmost only
                                           ReplaceCase{L"(Comments)", L"(comments)", L"x",
                                                       L"(Comments)"},                         // case-sensitive
                                           ReplaceCase{L"(X) tail", L"(X)", L"1", L"1 tail"},  // at the start
                                           ReplaceCase{L"head (X)", L"(X)", L"1", L"head 1"},  // at the end
                                           ReplaceCase{L"abc", L"", L"Z", L"Zabc"},            // empty search
                                           ReplaceCase{L"(A)", L"(A)", L"(A)(A)", L"(A)(A)"},  // not searched again
                                           ReplaceCase{L"x(A)y", L"(A)", L"", L"xy"},          // empty replacement
                                           ReplaceCase{L"ａ(A)", L"(A)", L"会社", L"ａ会社"},  // no width folding
                                           ReplaceCase{L"", L"(A)", L"x", L""}));

}  // namespace
}  // namespace quillmark
