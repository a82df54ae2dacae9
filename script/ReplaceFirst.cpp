#include "script/ReplaceFirst.h"

namespace quillmark {

std::wstring ReplaceFirst(std::wstring source, const std::wstring& search, const std::wstring& replacement) {
    const auto at = source.find(search);
    if (at == std::wstring::npos) {
        return source;
    }
    source.replace(at, search.size(), replacement);
    return source;
}

}  // namespace quillmark
