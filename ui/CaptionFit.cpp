#include "ui/CaptionFit.h"

#include <algorithm>

namespace quillmark {

bool FitsIn(TextExtent text, TextExtent box) { return text.width <= box.width && text.height <= box.height; }

std::optional<TextExtent> OneLineBound(std::wstring_view text, int widestCharacter, int lineHeight) {
    if (text.find_first_of(L"\t\r\n") != std::wstring_view::npos) return std::nullopt;
    return TextExtent{static_cast<int>(text.size()) * widestCharacter, lineHeight};
}

FittedHeight FitCaptionHeight(int preferred, int smallest, TextExtent box,
                              const std::function<TextExtent(int height)>& measure) {
    const int floor = std::max(1, std::min(smallest, preferred));
    for (int height = preferred; height >= floor; --height) {
        if (FitsIn(measure(height), box)) return {height, true};
    }
    return {floor, false};
}

}  // namespace quillmark
