#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark::portable {

// One line of an INI text: where it lies in the text and what it is.
struct ProfileLine {
    enum class Kind { Other, Section, Key };

    Kind kind = Kind::Other;
    std::size_t begin = 0;       // its first byte
    std::size_t contentEnd = 0;  // where its line break starts
    std::size_t end = 0;         // past its line break; equals contentEnd on an unterminated last line
    std::string_view name;       // section or key name, blanks trimmed
    std::string_view value;      // a key's value, blanks trimmed, quotes still on
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Marks a file of UTF-16LE text, which the profile calls read and write as
// Unicode.
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// The lines of `text`, broken at LF, CR LF and lone CR. A UTF-8 byte-order
// mark at the start belongs to no line, so the first line still matches.
// Blanks before a line are skipped; ';' starts a comment; '[' starts a section
// whose name ends at the first ']' or the line's end; otherwise a line with
// '=' is a key. Every other line is Other.
std::vector<ProfileLine> ProfileLines(std::string_view text);

// Section and key names compare ignoring ASCII case only.
bool SameProfileName(std::string_view a, std::string_view b);

// A value as it is read: one pair of matching outer quotes (" or ') removed.
std::string_view UnquotedProfileValue(std::string_view value);

// UTF-8 and UTF-16 into each other. What is not well formed (a lone
// surrogate, a bad or cut UTF-8 sequence) becomes U+FFFD, and `exact`, when
// given, is set to false.
std::u16string Utf16FromUtf8(std::string_view text, bool* exact = nullptr);
std::string Utf8FromUtf16(std::u16string_view text);

}  // namespace quillmark::portable
