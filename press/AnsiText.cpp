#include "press/AnsiText.h"

#include <algorithm>

namespace quillmark {

std::vector<std::wstring> CharactersOutsideAnsi(Platform& platform, const std::wstring& text) {
    std::vector<std::wstring> outside;
    // Most texts fit whole: one call instead of one a character.
    if (platform.FitsAnsiCodePage(text)) return outside;
    for (std::size_t i = 0; i < text.size();) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                          text[i + 1] <= 0xDFFF;
        std::wstring character = text.substr(i, pair ? 2 : 1);
        i += character.size();
        if (!platform.FitsAnsiCodePage(character) &&
            std::find(outside.begin(), outside.end(), character) == outside.end()) {
            outside.push_back(std::move(character));
        }
    }
    return outside;
}

std::wstring QuotedCharacters(const std::vector<std::wstring>& characters) {
    std::wstring text;
    for (const std::wstring& character : characters) text += L"「" + character + L"」";
    return text;
}

}  // namespace quillmark
