#pragma once

#include <string>
#include <string_view>

namespace quillmark::portable {

// Windows file-name matching: "*" any run of characters, "?" one
// character, letters compared without regard to case.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name);

// Splits a path at its last "\" or "/": the folder (without the
// separator) and the name part.
std::pair<std::wstring, std::wstring> SplitFolderAndName(std::wstring_view path);

// The directory search on the local file system: the name of the first
// regular, not hidden file (hidden: a name starting with ".") in the
// pattern's folder whose name matches the pattern's name part; empty when
// there is none or the search fails.
std::wstring FindFirstNormalFile(const std::wstring& pattern);

}  // namespace quillmark::portable
