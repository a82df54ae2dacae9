// The main window built from the control table: controls, positions, fonts
// and captions that fit, tooltips, tab order, and the events it reports.
#include "platform/win32/WindowsApi.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/CaptionFonts.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/SystemText.h"
#include "platform/win32/Win32Platform.h"
#include "tests/windows/WindowsTestSupport.h"
#include "ui/ControlTable.h"
#include "ui/WindowFonts.h"

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
        window.SetDropSink([this](const std::vector<std::wstring>& files, const ControlRef& underDrop) {
            drops.push_back({files, underDrop});
        });
    }

    MainWindow window{GetModuleHandleW(nullptr)};
    Win32Platform platform{window};
    std::vector<Event> events;
    std::vector<std::pair<std::vector<std::wstring>, ControlRef>> drops;
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

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

struct CaptionMeasure {
    SIZE text;
    SIZE box;
    bool Fits() const { return text.cx <= box.cx && text.cy <= box.cy; }
};

// Measured as the control draws its text, in its own font: labels wrap
// (DrawTextW), the other kinds keep to one line; the box is the client area
// less the button's edge and text margins or the text box's margins.
CaptionMeasure MeasureCaption(HWND control, ControlKind kind, const std::wstring& text, const LOGFONTW& font) {
    RECT box{};
    GetClientRect(control, &box);
    if (kind == ControlKind::Button || kind == ControlKind::Frame) {
        InflateRect(&box, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    }
    RECT margin{};
    if (kind == ControlKind::Button && SendMessageW(control, BCM_GETTEXTMARGIN, 0, reinterpret_cast<LPARAM>(&margin))) {
        box.left += margin.left;
        box.right -= margin.right;
        box.top += margin.top;
        box.bottom -= margin.bottom;
    }
    if (kind == ControlKind::TextBox) {
        const auto margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
        box.left += LOWORD(margins);
        box.right -= HIWORD(margins);
    }
    const HFONT handle = CreateFontIndirectW(&font);
    const HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, handle);
    SIZE extent{};
    if (kind == ControlKind::Label) {
        RECT wrapped{0, 0, box.right - box.left, 0};
        DrawTextW(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        extent = {wrapped.right, wrapped.bottom};
    } else if (kind == ControlKind::TextBox) {
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        extent.cy = metrics.tmHeight;
    } else {
        RECT line{};
        DrawTextW(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_SINGLELINE);
        extent = {line.right, line.bottom};
    }
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    DeleteObject(handle);
    return {extent, {box.right - box.left, box.bottom - box.top}};
}

// Prints the table of every caption against its box; the closing note of a
// layout change quotes it.
TEST(CaptionFitTest, EveryCaptionFitsItsControlAtEachDpi) {
    std::printf("%-18s %4s  %-16s %7s  %-15s %s\n", "control", "dpi", "face", "size", "text w x h", "box w x h");
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        const MainWindow window(GetModuleHandleW(nullptr), dpi);
        ASSERT_EQ(window.Dpi(), dpi);
        ExpectLayoutAt(window, dpi, false);
        const LOGFONTW body = win32::RequestedFont(FontFor(ControlLook::Default), dpi);
        const LOGFONTW heading = win32::RequestedFont(FontFor(ControlLook::BlueBoldHeading), dpi);
        for (const ControlSpec& spec : ControlTable()) {
            if (spec.kind == ControlKind::FileDialog) continue;
            const std::string name =
                win32::ToAnsi(spec.name) + (spec.index >= 0 ? "(" + std::to_string(spec.index) + ")" : "");
            SCOPED_TRACE(name + " at " + std::to_string(dpi));
            const HWND control = window.Control({spec.name, spec.index});
            const LOGFONTW font = FontOf(control);
            const LOGFONTW& base = spec.look == ControlLook::BlueBoldHeading ? heading : body;
            EXPECT_EQ(std::wstring(font.lfFaceName), base.lfFaceName);
            EXPECT_EQ(font.lfWeight, base.lfWeight);
            const CaptionMeasure measure = MeasureCaption(control, spec.kind, spec.caption, font);
            EXPECT_TRUE(measure.Fits()) << measure.text.cx << "x" << measure.text.cy << " in " << measure.box.cx << "x"
                                        << measure.box.cy;
            // Smaller only where the window's size did not fit, and then the
            // largest size that does.
            EXPECT_LE(std::abs(font.lfHeight), std::abs(base.lfHeight));
            if (font.lfHeight != base.lfHeight) {
                LOGFONTW larger = font;
                larger.lfHeight += font.lfHeight < 0 ? -1 : 1;
                EXPECT_FALSE(MeasureCaption(control, spec.kind, spec.caption, larger).Fits());
            }
            const double points = std::abs(font.lfHeight) * 72.0 / dpi;
            std::printf("%-18s %4u  %-16s %4.1fpt/%ldpx  %4ld x %-3ld vs %4ld x %ld\n", name.c_str(), dpi,
                        Utf8(font.lfFaceName).c_str(), points, std::abs(font.lfHeight), measure.text.cx,
                        measure.text.cy, measure.box.cx, measure.box.cy);
        }
    }
}

// Where the layout's face is missing the window takes the system's message
// font (Yu Gothic UI on Japanese Windows 10 and 11, Meiryo UI before): with
// each such face that is installed, every caption still fits after fitting.
TEST(CaptionFitTest, EveryCaptionFitsInTheJapaneseUiFacesToo) {
    std::vector<std::wstring> faces{win32::MessageFontForDpi(96).lfFaceName};
    for (const wchar_t* face : {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"}) {
        if (win32::FontFamilyInstalled(face)) faces.push_back(face);
    }
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        const MainWindow window(GetModuleHandleW(nullptr), dpi);
        for (const std::wstring& face : faces) {
            LOGFONTW base = win32::MessageFontForDpi(dpi);
            lstrcpynW(base.lfFaceName, face.c_str(), LF_FACESIZE);
            int shrunk = 0;
            for (const ControlSpec& spec : ControlTable()) {
                if (spec.kind == ControlKind::FileDialog) continue;
                SCOPED_TRACE(Utf8(face) + " " + win32::ToAnsi(spec.name) + "(" + std::to_string(spec.index) + ") at " +
                             std::to_string(dpi));
                const HWND control = window.Control({spec.name, spec.index});
                const LOGFONTW fitted = win32::FittedFont(control, spec.kind, spec.caption, base, dpi);
                if (fitted.lfHeight != base.lfHeight) ++shrunk;
                EXPECT_TRUE(MeasureCaption(control, spec.kind, spec.caption, fitted).Fits());
            }
            std::printf("%-16s %3ldpx at %3u dpi: %d of the captions a smaller size\n", Utf8(face).c_str(),
                        std::abs(base.lfHeight), dpi, shrunk);
        }
    }
}

// A caption whose one-line bound fits its box is not measured: the bound is
// never below what any caption of the window takes, in any of the faces.
TEST(CaptionFitTest, TheOneLineBoundIsNeverBelowACaptionsExtent) {
    std::vector<std::wstring> faces{win32::MessageFontForDpi(96).lfFaceName};
    for (const wchar_t* face : {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"ＭＳ Ｐゴシック"}) {
        if (win32::FontFamilyInstalled(face)) faces.push_back(face);
    }
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        for (const std::wstring& face : faces) {
            for (const LONG weight : {FW_NORMAL, FW_BOLD}) {
                LOGFONTW font = win32::MessageFontForDpi(dpi);
                lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
                font.lfWeight = weight;
                win32::CaptionFontSet fonts;
                for (const ControlSpec& spec : ControlTable()) {
                    SCOPED_TRACE(Utf8(face) + " " + std::to_string(weight) + " " + win32::ToAnsi(spec.name) + "(" +
                                 std::to_string(spec.index) + ") at " + std::to_string(dpi));
                    const auto bound = fonts.OneLineBoundOf(spec.caption, font);
                    ASSERT_TRUE(bound.has_value());
                    // Wide enough that a label draws on one line.
                    const TextExtent extent = fonts.CaptionExtent(spec.kind, spec.caption, font, 100000);
                    EXPECT_LE(extent.width, bound->width);
                    EXPECT_LE(extent.height, bound->height);
                }
            }
        }
    }
}

TEST(CaptionFitTest, AFontSetCreatesEachFontOnce) {
    win32::CaptionFontSet fonts;
    const LOGFONTW body = win32::RequestedFont(FontFor(ControlLook::Default), 96);
    LOGFONTW smaller = body;
    smaller.lfHeight += body.lfHeight < 0 ? 1 : -1;
    const HFONT first = fonts.Font(body);
    EXPECT_EQ(fonts.Font(body), first);
    EXPECT_NE(fonts.Font(smaller), first);
    fonts.CaptionExtent(ControlKind::Label, L"Comments", body, 100);
    const LOGFONTW fitted = fonts.FittedFont(ControlKind::Label, L"Comments", body, {1000, 1000}, 96);
    EXPECT_EQ(fitted.lfHeight, body.lfHeight);
    const std::vector<HFONT> taken = fonts.TakeFonts();
    EXPECT_EQ(taken.size(), 2u);
    for (const HFONT font : taken) DeleteObject(font);
}

TEST_F(MainWindowTest, ControlsOfOneFontShareItsHandle) {
    std::vector<std::pair<LOGFONTW, HFONT>> seen;
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.kind == ControlKind::FileDialog) continue;
        SCOPED_TRACE(win32::ToAnsi(spec.name) + "(" + std::to_string(spec.index) + ")");
        const auto handle =
            reinterpret_cast<HFONT>(SendMessageW(window.Control({spec.name, spec.index}), WM_GETFONT, 0, 0));
        ASSERT_NE(handle, nullptr);
        const LOGFONTW font = FontOf(window.Control({spec.name, spec.index}));
        for (const auto& [other, otherHandle] : seen) {
            const bool same = other.lfHeight == font.lfHeight && other.lfWeight == font.lfWeight &&
                              std::wstring(other.lfFaceName) == font.lfFaceName;
            if (same) {
                EXPECT_EQ(handle, otherHandle);
            }
        }
        seen.emplace_back(font, handle);
    }
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

TEST_F(MainWindowTest, TooltipsAndIconsComeWithTheFirstShowWhenDeferred) {
    const auto tooltipsOf = [](HWND owner) {
        std::pair<HWND, HWND> search{owner, nullptr};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND candidate, LPARAM found) -> BOOL {
                auto& [wanted, tooltip] = *reinterpret_cast<std::pair<HWND, HWND>*>(found);
                wchar_t name[64] = {};
                GetClassNameW(candidate, name, 64);
                if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0 || GetWindow(candidate, GW_OWNER) != wanted) return TRUE;
                tooltip = candidate;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.second;
    };
    MainWindow deferred(GetModuleHandleW(nullptr), 0, MainWindow::Extras::AfterFirstShow);
    ASSERT_NE(deferred.Handle(), nullptr);
    EXPECT_EQ(tooltipsOf(deferred.Handle()), nullptr);
    deferred.Show();
    const HWND tooltip = tooltipsOf(deferred.Handle());
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 10);
    EXPECT_NE(SendMessageW(deferred.Handle(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(deferred.Handle(), WM_GETICON, ICON_SMALL, 0), 0);
    deferred.Show();  // once only
    EXPECT_EQ(tooltipsOf(deferred.Handle()), tooltip);
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
    // The session's end: asked first, the form answers; only a real end is an event.
    bool sessionMayEnd = false;
    window.SetSessionEndQuery([&] { return sessionMayEnd; });
    EXPECT_EQ(SendMessageW(window.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    sessionMayEnd = true;
    EXPECT_EQ(SendMessageW(window.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(window.Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    SendMessageW(window.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const std::vector<Event> expected{
        {WindowEvent::Click, {L"cmdEnd", -1}},
        {WindowEvent::Click, {L"cmdOpenHack", -1}},
        {WindowEvent::Change, {L"txtExe", -1}},
        {WindowEvent::Change, {L"txtInfo", 3}},
        {WindowEvent::Change, {L"txtFileVer", 2}},
        {WindowEvent::Unload, {}},
        {WindowEvent::EndSession, {}},
    };
    EXPECT_EQ(events, expected);
    EXPECT_TRUE(IsWindow(window.Handle())) << "closing is the form's decision";
}

TEST_F(MainWindowTest, TheSystemMenuItemsReachTheFormAndTheRestoreItemGreys) {
    const HMENU menu = GetSystemMenu(window.Handle(), FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    std::vector<std::wstring> captions;
    std::vector<UINT> ids;
    for (int i = count - 2; i < count; ++i) {
        wchar_t caption[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
        captions.emplace_back(caption);
        ids.push_back(GetMenuItemID(menu, i));
    }
    EXPECT_EQ(captions, (std::vector<std::wstring>{kLoadFromExeItem.caption, kRestoreBackupItem.caption}));
    SendMessageW(window.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    SendMessageW(window.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
    SendMessageW(window.Handle(), WM_SYSCOMMAND, ids[1], 0);
    SendMessageW(window.Handle(), WM_SYSCOMMAND, ids[0], 0);
    EXPECT_EQ(events, (std::vector<Event>{{WindowEvent::MenuPopup, {}},
                                          {WindowEvent::MenuClick, {kRestoreBackupItem.name}},
                                          {WindowEvent::MenuClick, {kLoadFromExeItem.name}}}));
    platform.SetMenuItemEnabled(kRestoreBackupItem.name, false);
    EXPECT_NE(GetMenuState(menu, ids[1], MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(menu, ids[0], MF_BYCOMMAND) & MF_GRAYED, 0u);
    platform.SetMenuItemEnabled(kRestoreBackupItem.name, true);
    EXPECT_EQ(GetMenuState(menu, ids[1], MF_BYCOMMAND) & MF_GRAYED, 0u);
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

// A drop as the shell hands it over: a DROPFILES header, then the wide file
// names, each ended by a NUL, and one more NUL after the last.
HGLOBAL DropOf(const std::vector<std::wstring>& files, POINT point, bool nonClient) {
    std::wstring names;
    for (const std::wstring& file : files) names += file + L'\0';
    names += L'\0';
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fNC = nonClient ? TRUE : FALSE;
    header->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(header + 1));
    GlobalUnlock(memory);
    return memory;
}

TEST_F(MainWindowTest, DroppedFilesReachTheFormWithTheControlUnderThePoint) {
    EXPECT_NE(GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    const auto centreOf = [&](const ControlRef& control) {
        const RECT rect = ClientRectOf(window.Handle(), window.Control(control));
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    };
    const RECT frame = ClientRectOf(window.Handle(), window.Control({L"Frame1"}));
    struct DropCase {
        const char* name;
        std::vector<std::wstring> files;
        POINT point;
        bool nonClient;
        ControlRef expected;
    };
    const std::vector<DropCase> cases{
        {"onto the target box", {L"C:\\Work\\app.exe"}, centreOf({L"txtExe"}), false, {L"txtExe"}},
        {"onto the editor box, two files in order",
         {L"C:\\RH\\ResHacker.exe", L"C:\\RH\\readme.txt"},
         centreOf({L"txtResHack"}),
         false,
         {L"txtResHack"}},
        {"onto a label inside the frame",
         {L"D:\\作業 フォルダー\\製品.exe"},
         centreOf({L"lblInfo", 3}),
         false,
         {L"lblInfo", 3}},
        {"onto the frame between its controls",
         {L"D:\\a.exe"},
         POINT{frame.left + 4, frame.bottom - 4},
         false,
         {L"Frame1"}},
        {"onto the window between controls", {L"D:\\a.exe"}, POINT{2, 2}, false, {}},
        {"onto the title bar", {L"D:\\a.exe"}, POINT{40, 10}, true, {}},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.name);
        drops.clear();
        SendMessageW(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(c.files, c.point, c.nonClient)), 0);
        ASSERT_EQ(drops.size(), 1u);
        EXPECT_EQ(drops[0].first, c.files);
        EXPECT_EQ(drops[0].second, c.expected);
    }
    EXPECT_TRUE(events.empty()) << "a drop is the form's to act on";
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
