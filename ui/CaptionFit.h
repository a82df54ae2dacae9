#pragma once

#include <functional>
#include <optional>
#include <string_view>

namespace quillmark {

// A text's or a box's size in pixels.
struct TextExtent {
    int width = 0;
    int height = 0;

    bool operator==(const TextExtent&) const = default;
};

struct FittedHeight {
    int height;  // character height in pixels, as a font asks for it
    bool fits;
};

bool FitsIn(TextExtent text, TextExtent box);

// What a caption can take at most drawn on one line, from its length and
// the font's widest character and line height: no measuring needed when
// that fits. None for text that tabs or line breaks could make wider or
// taller.
std::optional<TextExtent> OneLineBound(std::wstring_view text, int widestCharacter, int lineHeight);

// The font height for a caption: `preferred` when the caption fits its box
// there, else the largest smaller height, down to `smallest`, at which it
// does. `measure` gives the caption's extent at a height. When not even
// `smallest` fits, that is the answer, with `fits` false.
FittedHeight FitCaptionHeight(int preferred, int smallest, TextExtent box,
                              const std::function<TextExtent(int height)>& measure);

}  // namespace quillmark
