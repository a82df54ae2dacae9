#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quillmark {

// The characters of `text` that an editor built for the system ANSI code
// page would receive as other characters, each once, in order of first use
// (a surrogate pair counts as one character).
std::vector<std::wstring> CharactersOutsideAnsi(Platform& platform, const std::wstring& text);

// "「©」「™」"
std::wstring QuotedCharacters(const std::vector<std::wstring>& characters);

}  // namespace quillmark
