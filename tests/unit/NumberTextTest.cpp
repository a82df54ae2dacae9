#include <gtest/gtest.h>

#include <optional>

#include "platform/portable/NumberText.h"
#include "tests/support/RecordingPlatform.h"

namespace quillmark {
namespace {

using portable::NumberSeparators;

struct LongCase {
    const wchar_t* text;
    std::optional<std::int32_t> expected;
};

class TextToLongTable : public ::testing::TestWithParam<LongCase> {};

TEST_P(TextToLongTable, ConvertsOrFails) {
    const LongCase& c = GetParam();
    EXPECT_EQ(portable::TextToLong(c.text, NumberSeparators{}), c.expected) << testing::Utf8(c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TextToLongTable,
    ::testing::Values(LongCase{L" 7 ", 7}, LongCase{L"\t7", 7}, LongCase{L"2.5", 2}, LongCase{L"3.5", 4},
                      LongCase{L"1.5", 2}, LongCase{L"-2.5", -2}, LongCase{L"-1", -1}, LongCase{L"+12", 12},
                      LongCase{L"-0", 0}, LongCase{L"99.4", 99}, LongCase{L"99.5", 100}, LongCase{L"0.5", 0},
                      LongCase{L".5", 0}, LongCase{L"1,000", 1000}, LongCase{L"1e3", 1000}, LongCase{L"&H10", 16},
                      LongCase{L"&o17", 15}, LongCase{L"2147483647", 2147483647}, LongCase{L"-2147483648", INT32_MIN},
                      LongCase{L"", std::nullopt}, LongCase{L" ", std::nullopt}, LongCase{L"abc", std::nullopt},
                      LongCase{L"1a", std::nullopt}, LongCase{L"2147483648", std::nullopt},
                      LongCase{L"2147483647.5", std::nullopt}, LongCase{L"-2147483649", std::nullopt},
                      LongCase{L"１２", std::nullopt}, LongCase{L"1e", std::nullopt}, LongCase{L"&H", std::nullopt},
                      LongCase{L"&HG", std::nullopt}, LongCase{L"1 2", std::nullopt}, LongCase{L"--1", std::nullopt},
                      LongCase{L"1e400", std::nullopt}, LongCase{L",5", std::nullopt}));

TEST(TextToLong, FollowsTheLocalesDecimalSeparator) {
    const NumberSeparators german{L',', L'.'};
    EXPECT_EQ(portable::TextToLong(L"2,5", german), 2);
    EXPECT_EQ(portable::TextToLong(L"3,5", german), 4);
    EXPECT_EQ(portable::TextToLong(L"1.000", german), 1000);
}

TEST(TextToInteger, FailsOutsideSixteenBits) {
    EXPECT_EQ(portable::TextToInteger(L"12", {}), 12);
    EXPECT_EQ(portable::TextToInteger(L"2.5", {}), 2);
    EXPECT_EQ(portable::TextToInteger(L"3.5", {}), 4);
    EXPECT_EQ(portable::TextToInteger(L"32767", {}), 32767);
    EXPECT_EQ(portable::TextToInteger(L"-32768", {}), -32768);
    EXPECT_EQ(portable::TextToInteger(L"40000", {}), std::nullopt);
    EXPECT_EQ(portable::TextToInteger(L"abc", {}), std::nullopt);
}

TEST(TextToSingle, FailsOutsideTheFloatRange) {
    EXPECT_EQ(portable::TextToSingle(L"1.25", {}), 1.25f);
    EXPECT_EQ(portable::TextToSingle(L"1e40", {}), std::nullopt);
    EXPECT_EQ(portable::TextToSingle(L"-3e38", {}), -3e38f);
    EXPECT_EQ(portable::TextToDouble(L"1e40", {}), 1e40);
}

}  // namespace
}  // namespace quillmark
