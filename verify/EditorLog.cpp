#include "verify/EditorLog.h"

#include <cwctype>
#include <string_view>

namespace quillmark::verify {

namespace {

constexpr std::wstring_view kBlanks = L" \t\r";

std::wstring Trimmed(std::wstring_view line) {
    const std::size_t begin = line.find_first_not_of(kBlanks);
    if (begin == std::wstring_view::npos) return {};
    return std::wstring(line.substr(begin, line.find_last_not_of(kBlanks) - begin + 1));
}

// Runs of blanks as one space, in lower case, without quotes: the editor
// logs its operands as it parsed them.
std::wstring Folded(const std::wstring& text) {
    std::wstring folded;
    for (const wchar_t c : Trimmed(text)) {
        if (c == L'"') continue;
        if (c == L' ' || c == L'\t') {
            if (!folded.empty() && folded.back() != L' ') folded.push_back(L' ');
        } else {
            folded.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))));
        }
    }
    return folded;
}

}  // namespace

EditorLogText ParseEditorLog(const std::wstring& text) {
    EditorLogText log;
    bool timeSeen = false;
    bool commandSeen = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = Trimmed(std::wstring_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty()) continue;
        if (!timeSeen && !commandSeen && line.front() == L'[') {
            timeSeen = true;
        } else if (!commandSeen) {
            log.commandLine = std::move(line);
            commandSeen = true;
        } else {
            log.results.push_back(std::move(line));
        }
    }
    return log;
}

bool LoggedCommandIs(const std::wstring& logged, const std::wstring& launched) {
    const std::wstring shown = Folded(logged);
    const std::wstring run = Folded(launched);
    return !shown.empty() && run.size() >= shown.size() &&
           run.compare(run.size() - shown.size(), shown.size(), shown) == 0;
}

bool IsErrorLine(const std::wstring& line) { return line.starts_with(L"Error:"); }

}  // namespace quillmark::verify
