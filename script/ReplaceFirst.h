#pragma once

#include <string>

namespace quillmark {

// The source with the leftmost exact occurrence of `search` replaced; the
// result is not searched again. An empty search text is found at the start.
std::wstring ReplaceFirst(std::wstring source, const std::wstring& search, const std::wstring& replacement);

}  // namespace quillmark
