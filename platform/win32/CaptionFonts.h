#pragma once

#include "platform/win32/WindowsApi.h"

#include <optional>
#include <string>
#include <vector>

#include "ui/CaptionFit.h"
#include "ui/ControlTable.h"
#include "ui/WindowFonts.h"

namespace quillmark::win32 {

// Whether a font family is installed. Each face is looked up once per
// process: the answer is kept.
bool FontFamilyInstalled(const wchar_t* face);

// The font asked for at a DPI: its face where installed, else its fallback
// from the system's message font at that DPI.
LOGFONTW RequestedFont(const FontRequest& request, UINT dpi);

// Where a control of that kind draws its text: the client area less the
// button's edge and text margins or the text box's margins.
TextExtent TextAreaOf(HWND control, ControlKind kind);

// The fonts of one layout: each distinct font created once, measured in one
// screen-compatible DC. The fonts live as long as the set, or until taken.
class CaptionFontSet {
public:
    CaptionFontSet();
    ~CaptionFontSet();
    CaptionFontSet(const CaptionFontSet&) = delete;
    CaptionFontSet& operator=(const CaptionFontSet&) = delete;

    HFONT Font(const LOGFONTW& font);

    // The text's extent in the font as a control of that kind draws it:
    // labels wrap at the area's width, every other kind keeps to one line.
    TextExtent CaptionExtent(ControlKind kind, const std::wstring& text, const LOGFONTW& font, int areaWidth);

    // What the text can take at most in the font on one line, from the
    // font's metrics alone; none where tabs or line breaks leave no bound.
    std::optional<TextExtent> OneLineBoundOf(const std::wstring& text, const LOGFONTW& font);

    // `base`, or the largest smaller size of it at which the text fits
    // `area`. Text whose one-line bound fits is not measured.
    LOGFONTW FittedFont(ControlKind kind, const std::wstring& text, const LOGFONTW& base, TextExtent area, UINT dpi);

    // The fonts made so far, for the caller to delete; the set forgets them.
    std::vector<HFONT> TakeFonts();

private:
    struct Entry {
        LOGFONTW font;
        HFONT handle;
        TEXTMETRICW metrics;
    };
    const Entry& EntryFor(const LOGFONTW& font);

    HDC dc_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    std::vector<Entry> entries_;
};

// `base`, or the largest smaller size of it at which the control's own
// text fits its text area.
LOGFONTW FittedFont(HWND control, ControlKind kind, const std::wstring& text, const LOGFONTW& base, UINT dpi);

}  // namespace quillmark::win32
