#include "platform/portable/ProfileText.h"

#include <algorithm>

namespace quillmark::portable {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

ProfileLine Classify(std::string_view content) {
    ProfileLine line;
    const std::string_view text = TrimBlanks(content);
    if (text.empty() || text.front() == ';') return line;
    if (text.front() == '[') {
        line.kind = ProfileLine::Kind::Section;
        const std::string_view rest = text.substr(1);
        line.name = TrimBlanks(rest.substr(0, rest.find(']')));
        return line;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return line;
    line.kind = ProfileLine::Kind::Key;
    line.name = TrimBlanks(text.substr(0, equals));
    line.value = TrimBlanks(text.substr(equals + 1));
    return line;
}

}  // namespace

std::vector<ProfileLine> ProfileLines(std::string_view text) {
    std::vector<ProfileLine> lines;
    std::size_t begin = text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while (begin < text.size()) {
        const std::size_t breakAt = std::min(text.find_first_of("\r\n", begin), text.size());
        std::size_t end = breakAt;
        if (end < text.size()) end += text.substr(end, 2) == "\r\n" ? 2 : 1;
        ProfileLine line = Classify(text.substr(begin, breakAt - begin));
        line.begin = begin;
        line.contentEnd = breakAt;
        line.end = end;
        lines.push_back(line);
        begin = end;
    }
    return lines;
}

bool SameProfileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

std::string_view UnquotedProfileValue(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace quillmark::portable
