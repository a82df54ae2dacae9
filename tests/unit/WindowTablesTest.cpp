#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/support/RecordingPlatform.h"
#include "ui/ControlTable.h"

namespace quillmark {
namespace {

const ControlSpec* Find(const wchar_t* name, int index) {
    for (const ControlSpec& c : ControlTable()) {
        if (std::wstring(c.name) == name && c.index == index) return &c;
    }
    return nullptr;
}

TEST(WindowTables, TabIndicesAreUniqueAndCoverZeroToThirtyNine) {
    std::set<int> tabs;
    for (const ControlSpec& c : ControlTable()) {
        if (c.kind == ControlKind::FileDialog) continue;
        EXPECT_TRUE(tabs.insert(c.tabIndex).second) << "duplicate tab " << c.tabIndex;
    }
    EXPECT_EQ(tabs.size(), 40u);
    EXPECT_EQ(*tabs.begin(), 0);
    EXPECT_EQ(*tabs.rbegin(), 39);
}

TEST(WindowTables, InFrameControlsFitInsideTheFrame) {
    const ControlSpec* frame = Find(L"Frame1", -1);
    ASSERT_NE(frame, nullptr);
    const WindowSpec& window = MainWindowSpec();
    EXPECT_STREQ(window.caption, L"Quillmark");
    for (const ControlSpec& c : ControlTable()) {
        if (c.kind == ControlKind::FileDialog) continue;
        const int right = c.left + c.width, bottom = c.top + c.height;
        if (c.inFrame) {
            EXPECT_LE(right, frame->width) << testing::Utf8(c.name) << c.index;
            EXPECT_LE(bottom, frame->height) << testing::Utf8(c.name) << c.index;
        } else {
            EXPECT_LE(right, window.clientWidth) << testing::Utf8(c.name);
            EXPECT_LE(bottom, window.clientHeight) << testing::Utf8(c.name);
        }
    }
}

TEST(WindowTables, OnlyTheTwoActionButtonsStartDisabled) {
    std::set<std::wstring> disabled;
    for (const ControlSpec& c : ControlTable()) {
        if (c.startsDisabled) disabled.insert(c.name);
    }
    EXPECT_EQ(disabled, (std::set<std::wstring>{L"Command1", L"cmdView"}));
}

}  // namespace
}  // namespace quillmark
