#pragma once

#include "ui/ControlTable.h"

namespace quillmark {

// Where the asked-for face is not installed.
enum class FontFallback {
    MessageFont,  // the system's message font as it is
    MessageFace,  // the message font's face at the asked-for size and weight
};

struct FontRequest {
    const wchar_t* face;
    int points;
    int weight;
    int charSet;
    FontFallback fallback;
};

// The fonts the layout was drawn for, by the look of a control.
const FontRequest& FontFor(ControlLook look);

// Below this a caption is no longer readable: a caption is not shrunk
// further to fit its box.
inline constexpr int kSmallestCaptionPoints = 6;

}  // namespace quillmark
