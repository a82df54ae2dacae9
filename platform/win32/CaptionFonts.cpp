#include "platform/win32/CaptionFonts.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/win32/Dpi.h"

namespace quillmark::win32 {

namespace {

int CALLBACK NoteFontFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool EnumeratesAsInstalled(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, NoteFontFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

UINT DrawFormatFor(ControlKind kind) {
    // As the static control draws SS_LEFT text; the others draw one line.
    if (kind == ControlKind::Label) return DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;
    if (kind == ControlKind::TextBox) return DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
    return DT_LEFT | DT_SINGLELINE;
}

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
    return std::memcmp(&a, &b, offsetof(LOGFONTW, lfFaceName)) == 0 && lstrcmpW(a.lfFaceName, b.lfFaceName) == 0;
}

}  // namespace

bool FontFamilyInstalled(const wchar_t* face) {
    // Enumerating fonts is slow under Wine: each face is asked about once,
    // and a face installed later is seen at the program's next start.
    static std::vector<std::pair<std::wstring, bool>> known;
    static SRWLOCK guard = SRWLOCK_INIT;
    AcquireSRWLockExclusive(&guard);
    const auto found = std::find_if(known.begin(), known.end(), [&](const auto& entry) { return entry.first == face; });
    const bool installed =
        found != known.end() ? found->second : known.emplace_back(face, EnumeratesAsInstalled(face)).second;
    ReleaseSRWLockExclusive(&guard);
    return installed;
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

CaptionFontSet::CaptionFontSet() : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_ != nullptr) originalFont_ = GetCurrentObject(dc_, OBJ_FONT);
}

CaptionFontSet::~CaptionFontSet() {
    if (dc_ != nullptr) {
        SelectObject(dc_, originalFont_);
        DeleteDC(dc_);
    }
    for (const Entry& entry : entries_) DeleteObject(entry.handle);
}

const CaptionFontSet::Entry& CaptionFontSet::EntryFor(const LOGFONTW& font) {
    for (const Entry& entry : entries_) {
        if (SameFont(entry.font, font)) return entry;
    }
    Entry entry{font, CreateFontIndirectW(&font), {}};
    if (dc_ != nullptr) {
        SelectObject(dc_, entry.handle);
        GetTextMetricsW(dc_, &entry.metrics);
    }
    entries_.push_back(entry);
    return entries_.back();
}

HFONT CaptionFontSet::Font(const LOGFONTW& font) { return EntryFor(font).handle; }

TextExtent CaptionFontSet::CaptionExtent(ControlKind kind, const std::wstring& text, const LOGFONTW& font,
                                         int areaWidth) {
    const Entry& entry = EntryFor(font);
    RECT extent{0, 0, areaWidth, 0};
    if (dc_ != nullptr && !text.empty()) {
        SelectObject(dc_, entry.handle);
        DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &extent, DrawFormatFor(kind) | DT_CALCRECT);
    }
    // An empty text box still shows a line of text.
    return {text.empty() ? 0 : static_cast<int>(extent.right), std::max<int>(extent.bottom, entry.metrics.tmHeight)};
}

std::optional<TextExtent> CaptionFontSet::OneLineBoundOf(const std::wstring& text, const LOGFONTW& font) {
    // A glyph linked in from another face (kana in a Latin face) can be
    // wider than the face's own widest: a full line height is allowed for
    // every character too.
    const TEXTMETRICW& metrics = EntryFor(font).metrics;
    const int widest = std::max(metrics.tmMaxCharWidth, metrics.tmHeight) + metrics.tmOverhang;
    return OneLineBound(text, widest, metrics.tmHeight);
}

LOGFONTW CaptionFontSet::FittedFont(ControlKind kind, const std::wstring& text, const LOGFONTW& base, TextExtent area,
                                    UINT dpi) {
    if (base.lfHeight == 0) return base;
    if (const auto bound = OneLineBoundOf(text, base); bound && FitsIn(*bound, area)) return base;

    const int sign = base.lfHeight < 0 ? -1 : 1;
    const auto measure = [&](int height) {
        LOGFONTW candidate = base;
        candidate.lfHeight = sign * height;
        return CaptionExtent(kind, text, candidate, area.width);
    };
    const FittedHeight fitted = FitCaptionHeight(
        std::abs(base.lfHeight), MulDiv(kSmallestCaptionPoints, static_cast<int>(dpi), 72), area, measure);
    LOGFONTW font = base;
    font.lfHeight = sign * fitted.height;
    return font;
}

std::vector<HFONT> CaptionFontSet::TakeFonts() {
    if (dc_ != nullptr) SelectObject(dc_, originalFont_);
    std::vector<HFONT> fonts;
    for (const Entry& entry : entries_) fonts.push_back(entry.handle);
    entries_.clear();
    return fonts;
}

LOGFONTW FittedFont(HWND control, ControlKind kind, const std::wstring& text, const LOGFONTW& base, UINT dpi) {
    CaptionFontSet fonts;
    return fonts.FittedFont(kind, text, base, TextAreaOf(control, kind), dpi);
}

}  // namespace quillmark::win32
