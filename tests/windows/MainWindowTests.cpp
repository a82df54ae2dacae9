// The main window built from the control table: controls, positions, fonts,
// tooltips, tab order, and the events it reports.
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ControlTable.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/SystemText.h"
#include "platform/win32/Win32Platform.h"
#include "tests/windows/WindowsTestSupport.h"

namespace quillmark::wintest {
namespace {

using win32::MainWindow;
using win32::Win32Platform;

struct Event {
    WindowEvent event;
    ControlRef control;
    bool operator==(const Event&) const = default;
};

void PrintTo(const Event& e, std::ostream* out) {
    *out << static_cast<int>(e.event) << " " << win32::ToAnsi(e.control.name) << "(" << e.control.index << ")";
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        window.SetEventSink([this](WindowEvent event, const ControlRef& control) {
            events.push_back({event, control});
        });
    }

    MainWindow window{GetModuleHandleW(nullptr)};
    Win32Platform platform{window};
    std::vector<Event> events;
};

int Px(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

RECT ClientRectOf(HWND parent, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The client size is checked only at the monitor's own DPI: a DPI change
// sent by a test leaves the real frame at the monitor's size.
void ExpectLayoutAt(const MainWindow& window, UINT dpi, bool checkClientSize) {
    if (checkClientSize) {
        RECT client{};
        GetClientRect(window.Handle(), &client);
        EXPECT_EQ(client.right, Px(MainWindowSpec().clientWidth, dpi));
        EXPECT_EQ(client.bottom, Px(MainWindowSpec().clientHeight, dpi));
    }
    const ControlSpec* frameSpec = nullptr;
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.kind == ControlKind::Frame) frameSpec = &spec;
    }
    ASSERT_NE(frameSpec, nullptr);
    const ControlSpec& frame = *frameSpec;
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ControlSpec& spec = table[i];
        if (spec.kind == ControlKind::FileDialog) continue;
        SCOPED_TRACE(win32::ToAnsi(spec.name) + "(" + std::to_string(spec.index) + ")");
        const HWND control = window.Control({spec.name, spec.index});
        ASSERT_NE(control, nullptr);
        const RECT rect = ClientRectOf(window.Handle(), control);
        const int originLeft = spec.inFrame ? Px(frame.left, dpi) : 0;
        const int originTop = spec.inFrame ? Px(frame.top, dpi) : 0;
        EXPECT_EQ(rect.left, originLeft + Px(spec.left, dpi));
        EXPECT_EQ(rect.top, originTop + Px(spec.top, dpi));
        EXPECT_EQ(rect.right - rect.left, Px(spec.width, dpi));
        EXPECT_EQ(rect.bottom - rect.top, Px(spec.height, dpi));
    }
}

TEST_F(MainWindowTest, EveryControlOfTheTableExistsWithItsCaptionIdAndState) {
    wchar_t caption[64] = {};
    GetWindowTextW(window.Handle(), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Quillmark");
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ControlSpec& spec = table[i];
        SCOPED_TRACE(win32::ToAnsi(spec.name) + "(" + std::to_string(spec.index) + ")");
        const HWND control = window.Control({spec.name, spec.index});
        if (spec.kind == ControlKind::FileDialog) {
            EXPECT_EQ(control, nullptr);
            continue;
        }
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), window.Handle());
        EXPECT_EQ(GetDlgCtrlID(control), MainWindow::kFirstControlId + static_cast<int>(i));
        EXPECT_EQ(platform.GetText({spec.name, spec.index}), spec.caption);
        EXPECT_EQ(IsWindowEnabled(control) != FALSE, !spec.startsDisabled);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const bool tabStop = spec.kind == ControlKind::Button || spec.kind == ControlKind::TextBox;
        EXPECT_EQ((style & WS_TABSTOP) != 0, tabStop);
    }
    EXPECT_EQ(window.Control({L"txtInfo", 6}), nullptr);
    EXPECT_EQ(window.Control({L"nothing"}), nullptr);
}

TEST_F(MainWindowTest, WindowCarriesItsIconsAndAFixedFrame) {
    EXPECT_NE(SendMessageW(window.Handle(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window.Handle(), WM_GETICON, ICON_SMALL, 0), 0);
    const LONG style = GetWindowLongW(window.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
}

TEST_F(MainWindowTest, ControlsSitAtTheirTwipPositionsAtTheWindowDpi) { ExpectLayoutAt(window, window.Dpi(), true); }

TEST_F(MainWindowTest, DpiChangeLaysTheWindowOutAgainWithScaledFonts) {
    const auto headingHeight = [&] {
        LOGFONTW font{};
        const auto handle = reinterpret_cast<HFONT>(SendMessageW(window.Control({L"Label1", 0}), WM_GETFONT, 0, 0));
        GetObjectW(handle, sizeof(font), &font);
        return font.lfHeight;
    };
    const UINT original = window.Dpi();
    RECT suggested{10, 10, 600, 700};
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window.Dpi(), 144u);
    ExpectLayoutAt(window, 144, false);
    EXPECT_EQ(headingHeight(), -18);

    suggested = RECT{10, 10, 400, 500};
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(original, original), reinterpret_cast<LPARAM>(&suggested));
    ExpectLayoutAt(window, original, true);
    EXPECT_EQ(headingHeight(), -MulDiv(9, static_cast<int>(original), 72));
}

TEST_F(MainWindowTest, HeadingsUseTheBoldShiftJisFontInBlue) {
    const HDC dc = GetDC(window.Handle());
    const auto textColourOf = [&](HWND control) {
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageW(window.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control));
        return GetTextColor(dc);
    };
    const auto fontOf = [&](HWND control) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
        return font;
    };
    const LOGFONTW plain = fontOf(window.Control({L"lblInfo", 0}));
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.kind == ControlKind::FileDialog) continue;
        SCOPED_TRACE(win32::ToAnsi(spec.name) + "(" + std::to_string(spec.index) + ")");
        const HWND control = window.Control({spec.name, spec.index});
        const LOGFONTW font = fontOf(control);
        if (spec.look == ControlLook::BlueBoldHeading) {
            if (spec.kind == ControlKind::Label) {
                EXPECT_EQ(textColourOf(control), RGB(0, 0, 255));
            }
            EXPECT_EQ(font.lfWeight, 700);
            EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
            EXPECT_EQ(font.lfHeight, -MulDiv(9, static_cast<int>(window.Dpi()), 72));
            const std::wstring face = font.lfFaceName;
            EXPECT_TRUE(face == L"ＭＳ Ｐゴシック" || face == plain.lfFaceName) << win32::ToAnsi(face);
        } else {
            if (spec.kind == ControlKind::Label) {
                EXPECT_NE(textColourOf(control), RGB(0, 0, 255));
            }
            EXPECT_EQ(std::wstring(font.lfFaceName), plain.lfFaceName);
            EXPECT_EQ(font.lfWeight, plain.lfWeight);
        }
    }
    // The frame's caption takes its colour from the same message.
    EXPECT_EQ(textColourOf(window.Control({L"Frame1"})), RGB(0, 0, 255));
    ReleaseDC(window.Handle(), dc);
}

TEST_F(MainWindowTest, TheTenFieldLabelsCarryTheirTooltips) {
    HWND tooltip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND candidate, LPARAM found) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(candidate, name, 64);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0) return TRUE;
            *reinterpret_cast<HWND*>(found) = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), window.Handle());
    const auto count = static_cast<int>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    ASSERT_EQ(count, 10);
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.tooltip == nullptr) continue;
        SCOPED_TRACE(win32::ToAnsi(spec.name) + "(" + std::to_string(spec.index) + ")");
        const HWND label = window.Control({spec.name, spec.index});
        EXPECT_NE(GetWindowLongW(label, GWL_STYLE) & SS_NOTIFY, 0);
        wchar_t text[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = window.Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(label);
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(std::wstring(text), spec.tooltip);
    }
}

TEST_F(MainWindowTest, TabOrderFollowsTheTabIndex) {
    std::vector<std::pair<int, HWND>> stops;
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.kind != ControlKind::Button && spec.kind != ControlKind::TextBox) continue;
        const HWND control = window.Control({spec.name, spec.index});
        if (IsWindowEnabled(control)) stops.emplace_back(spec.tabIndex, control);
    }
    std::sort(stops.begin(), stops.end());
    ASSERT_FALSE(stops.empty());
    window.Show();
    HWND current = GetNextDlgTabItem(window.Handle(), nullptr, FALSE);
    for (const auto& [tabIndex, control] : stops) {
        SCOPED_TRACE(tabIndex);
        EXPECT_EQ(current, control);
        current = GetNextDlgTabItem(window.Handle(), current, FALSE);
    }
    EXPECT_EQ(current, stops.front().second) << "the order wraps around to the first stop";
}

TEST_F(MainWindowTest, ClicksChangesAndCloseReachTheForm) {
    SendMessageW(window.Control({L"cmdEnd"}), BM_CLICK, 0, 0);
    SendMessageW(window.Control({L"cmdOpenHack"}), BM_CLICK, 0, 0);
    platform.SetText({L"txtExe"}, L"C:\\Tools\\target.exe");
    platform.SetText({L"txtInfo", 3}, L"(C) 日本");
    platform.SetText({L"txtFileVer", 2}, L"5");
    platform.SetText({L"lblInfo", 3}, L"LegalCopyright");  // labels have no change event
    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    const std::vector<Event> expected{
        {WindowEvent::Click, {L"cmdEnd", -1}},     {WindowEvent::Click, {L"cmdOpenHack", -1}},
        {WindowEvent::Change, {L"txtExe", -1}},    {WindowEvent::Change, {L"txtInfo", 3}},
        {WindowEvent::Change, {L"txtFileVer", 2}}, {WindowEvent::Unload, {}},
    };
    EXPECT_EQ(events, expected);
    EXPECT_TRUE(IsWindow(window.Handle())) << "closing is the form's decision";
}

TEST_F(MainWindowTest, SetEnabledSwitchesTheButton) {
    EXPECT_FALSE(IsWindowEnabled(window.Control({L"Command1"})));
    platform.SetEnabled({L"Command1"}, true);
    EXPECT_TRUE(IsWindowEnabled(window.Control({L"Command1"})));
    SendMessageW(window.Control({L"Command1"}), BM_CLICK, 0, 0);
    EXPECT_EQ(events, (std::vector<Event>{{WindowEvent::Click, {L"Command1", -1}}}));
    platform.SetEnabled({L"Command1"}, false);
    EXPECT_FALSE(IsWindowEnabled(window.Control({L"Command1"})));
}

TEST_F(MainWindowTest, TextRoundTripsThroughEveryKindOfControl) {
    struct TextCase {
        ControlRef control;
        std::wstring text;
    };
    const std::vector<TextCase> cases{
        {{L"txtResHack"}, L"C:\\Program Files\\RH\\ResHacker.exe"},
        {{L"txtInfo", 9}, L"正式ファイル名.exe"},
        {{L"txtProductVer", 1}, L"12"},
        {{L"lblInfo", 4}, L"LegalTrademarks"},
        {{L"Label1", 0}, L"「ResHacker.exe」のフルパス"},
        {{L"txtExe"}, L""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(win32::ToAnsi(c.control.name));
        platform.SetText(c.control, c.text);
        EXPECT_EQ(platform.GetText(c.control), c.text);
    }
}

TEST_F(MainWindowTest, AltXPressesTheEndButton) {
    window.Show();
    SetForegroundWindow(window.Handle());
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window.Handle(); }, 10000));
    MSG message{};
    message.hwnd = GetFocus();
    message.message = WM_SYSCHAR;
    message.wParam = 'x';
    message.lParam = 1 | (1 << 29);  // repeat count 1, Alt held
    EXPECT_TRUE(IsDialogMessageW(window.Handle(), &message));
    PumpUntil([&] { return !events.empty(); }, 2000);
    EXPECT_EQ(events, (std::vector<Event>{{WindowEvent::Click, {L"cmdEnd", -1}}}));
}

}  // namespace
}  // namespace quillmark::wintest
