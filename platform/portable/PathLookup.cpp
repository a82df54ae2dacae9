#include "platform/portable/PathLookup.h"

#include <cwctype>
#include <filesystem>
#include <system_error>

namespace quillmark::portable {

namespace {

bool SameLetter(wchar_t a, wchar_t b) {
    return std::towlower(static_cast<wint_t>(a)) == std::towlower(static_cast<wint_t>(b));
}

}  // namespace

bool WildcardMatch(std::wstring_view pattern, std::wstring_view name) {
    // Iterative matching with one back-tracking point: linear in practice
    // and without recursion on long patterns.
    std::size_t p = 0, n = 0, starAt = std::wstring_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || (pattern[p] != L'*' && SameLetter(pattern[p], name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::wstring_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

std::pair<std::wstring, std::wstring> SplitFolderAndName(std::wstring_view path) {
    const auto cut = path.find_last_of(L"\\/");
    if (cut == std::wstring_view::npos) {
        return {std::wstring(), std::wstring(path)};
    }
    return {std::wstring(path.substr(0, cut)), std::wstring(path.substr(cut + 1))};
}

std::wstring FindFirstNormalFile(const std::wstring& pattern) {
    if (pattern.empty()) return {};
    auto [folder, namePattern] = SplitFolderAndName(pattern);
    if (namePattern.empty()) return {};
    const bool hasFolder = pattern.find_first_of(L"\\/") != std::wstring::npos;
    const std::filesystem::path directory = hasFolder ? std::filesystem::path(folder.empty() ? L"/" : folder) : L".";
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::wstring name = it->path().filename().wstring();
        if (name.empty() || name[0] == L'.' || !WildcardMatch(namePattern, name)) continue;
        std::error_code typeError;
        if (it->is_regular_file(typeError) && !typeError) return name;
    }
    return {};
}

}  // namespace quillmark::portable
