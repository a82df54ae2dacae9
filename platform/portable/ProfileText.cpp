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

std::u16string Utf16FromUtf8(std::string_view text, bool* exact) {
    std::u16string out;
    out.reserve(text.size());
    auto bad = [&] {
        out.push_back(u'\uFFFD');
        if (exact != nullptr) *exact = false;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        std::size_t taken = 1;
        while (length > 1 && taken < length && i + taken < text.size() &&
               (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
            ++taken;
        }
        const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
        if (length == 0 || taken < length || overlong || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
            bad();
            i += std::max<std::size_t>(taken, 1);
            continue;
        }
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
        i += length;
    }
    return out;
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace quillmark::portable
