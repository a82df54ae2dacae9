#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "ui/CaptionFit.h"

namespace quillmark {
namespace {

struct FitCase {
    const char* name;
    int preferred;
    int smallest;
    TextExtent box;
    std::set<int> fittingHeights;  // where the measured text fits the box
    FittedHeight expected;
};

class CaptionFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(CaptionFit, TakesThePreferredOrTheLargestSmallerHeightThatFits) {
    const FitCase& c = GetParam();
    std::vector<int> measured;
    const auto measure = [&](int height) {
        measured.push_back(height);
        const bool fits = c.fittingHeights.contains(height);
        return TextExtent{fits ? c.box.width : c.box.width + 1, height};
    };
    const FittedHeight fitted = FitCaptionHeight(c.preferred, c.smallest, c.box, measure);
    EXPECT_EQ(fitted.height, c.expected.height);
    EXPECT_EQ(fitted.fits, c.expected.fits);
    ASSERT_FALSE(measured.empty());
    EXPECT_EQ(measured.front(), c.preferred);
}

INSTANTIATE_TEST_SUITE_P(Table, CaptionFit,
                         ::testing::Values(FitCase{"FitsAsDrawn", 12, 8, {29, 18}, {12, 11, 10}, {12, true}},
                                           FitCase{"OneSmaller", 12, 8, {29, 18}, {11, 10}, {11, true}},
                                           FitCase{"LargestOfSeveral", 12, 8, {29, 18}, {10, 8}, {10, true}},
                                           FitCase{"DownToTheSmallest", 12, 8, {29, 18}, {8}, {8, true}},
                                           FitCase{"NothingFits", 12, 8, {29, 18}, {7, 6}, {8, false}},
                                           FitCase{"SmallestAbovePreferred", 12, 14, {29, 18}, {}, {12, false}},
                                           // The text is as tall as the font here: too tall above 10.
                                           FitCase{"TooTall", 12, 8, {29, 10}, {12, 11, 10, 9}, {10, true}}),
                         [](const ::testing::TestParamInfo<FitCase>& param) { return std::string(param.param.name); });

struct BoundCase {
    const char* name;
    const wchar_t* text;
    int widest;
    int lineHeight;
    std::optional<TextExtent> expected;
};

class OneLineBound : public ::testing::TestWithParam<BoundCase> {};

TEST_P(OneLineBound, IsTheLengthTimesTheWidestCharacterOnOneLine) {
    const BoundCase& c = GetParam();
    EXPECT_EQ(quillmark::OneLineBound(c.text, c.widest, c.lineHeight), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, OneLineBound,
                         ::testing::Values(BoundCase{"Empty", L"", 12, 15, TextExtent{0, 15}},
                                           BoundCase{"Latin", L"Major", 12, 15, TextExtent{60, 15}},
                                           BoundCase{"Japanese", L"参照...", 16, 18, TextExtent{80, 18}},
                                           BoundCase{"AccessKeyCounted", L"終了(&X)", 12, 15, TextExtent{72, 15}},
                                           BoundCase{"TabUnbounded", L"a\tb", 12, 15, std::nullopt},
                                           BoundCase{"LineBreakUnbounded", L"a\r\nb", 12, 15, std::nullopt}),
                         [](const ::testing::TestParamInfo<BoundCase>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace quillmark
