#include "platform/win32/CaptionFonts.h"

#include <algorithm>
#include <cstdlib>

#include "platform/win32/Dpi.h"

namespace quillmark::win32 {

namespace {

int CALLBACK NoteFontFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

UINT DrawFormatFor(ControlKind kind) {
    // As the static control draws SS_LEFT text; the others draw one line.
    if (kind == ControlKind::Label) return DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;
    if (kind == ControlKind::TextBox) return DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
    return DT_LEFT | DT_SINGLELINE;
}

}  // namespace

bool FontFamilyInstalled(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, NoteFontFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

LOGFONTW RequestedFont(const FontRequest& request, UINT dpi) {
    const bool installed = FontFamilyInstalled(request.face);
    const LOGFONTW message = MessageFontForDpi(dpi);
    if (!installed && request.fallback == FontFallback::MessageFont) return message;
    LOGFONTW font{};
    font.lfHeight = -MulDiv(request.points, static_cast<int>(dpi), 72);
    font.lfWeight = request.weight;
    font.lfCharSet = static_cast<BYTE>(request.charSet);
    lstrcpynW(font.lfFaceName, installed ? request.face : message.lfFaceName, LF_FACESIZE);
    return font;
}

TextExtent TextAreaOf(HWND control, ControlKind kind) {
    RECT area{};
    GetClientRect(control, &area);
    if (kind == ControlKind::Button || kind == ControlKind::Frame) {
        InflateRect(&area, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    }
    if (kind == ControlKind::Button) {
        RECT margin{};
        if (SendMessageW(control, BCM_GETTEXTMARGIN, 0, reinterpret_cast<LPARAM>(&margin))) {
            area.left += margin.left;
            area.top += margin.top;
            area.right -= margin.right;
            area.bottom -= margin.bottom;
        }
    }
    if (kind == ControlKind::TextBox) {
        const auto margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
        area.left += LOWORD(margins);
        area.right -= HIWORD(margins);
    }
    return {std::max<LONG>(area.right - area.left, 0), std::max<LONG>(area.bottom - area.top, 0)};
}

TextExtent CaptionExtent(HWND control, ControlKind kind, const std::wstring& text, const LOGFONTW& font,
                         int areaWidth) {
    const HFONT handle = CreateFontIndirectW(&font);
    const HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, handle);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT extent{0, 0, areaWidth, 0};
    if (!text.empty())
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DrawFormatFor(kind) | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    DeleteObject(handle);
    // An empty text box still shows a line of text.
    return {text.empty() ? 0 : static_cast<int>(extent.right), std::max<int>(extent.bottom, metrics.tmHeight)};
}

LOGFONTW FittedFont(HWND control, ControlKind kind, const std::wstring& text, const LOGFONTW& base, UINT dpi) {
    if (base.lfHeight == 0) return base;
    const int sign = base.lfHeight < 0 ? -1 : 1;
    const TextExtent area = TextAreaOf(control, kind);
    const auto measure = [&](int height) {
        LOGFONTW candidate = base;
        candidate.lfHeight = sign * height;
        return CaptionExtent(control, kind, text, candidate, area.width);
    };
    const FittedHeight fitted = FitCaptionHeight(
        std::abs(base.lfHeight), MulDiv(kSmallestCaptionPoints, static_cast<int>(dpi), 72), area, measure);
    LOGFONTW font = base;
    font.lfHeight = sign * fitted.height;
    return font;
}

}  // namespace quillmark::win32
