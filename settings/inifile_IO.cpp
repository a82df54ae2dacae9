#include "settings/inifile_IO.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace quillmark {

namespace {

// Windows trims blanks and tabs around a value as it reads it, Wine also
// vertical tabs, form feeds and Ctrl-Z; a pair of quotes keeps them.
bool TrimmedOrUnquotedOnRead(wchar_t c) {
    return std::wstring_view(L" \t\v\f\x1a\"'").find(c) != std::wstring_view::npos;
}

}  // namespace

std::wstring ProfileStoredValue(const std::wstring& value) {
    if (value.empty() || (!TrimmedOrUnquotedOnRead(value.front()) && !TrimmedOrUnquotedOnRead(value.back()))) {
        return value;
    }
    return L"\"" + value + L"\"";
}

inifile_IO::inifile_IO(Platform& platform) : platform_(platform) {}

bool inifile_IO::WriteStr(const std::wstring& section, const std::wstring& Key, const std::wstring& sData) {
    const std::wstring stored = ProfileStoredValue(sData);
    // The file stays in the ANSI code page, as earlier versions and other
    // readers expect it, until a value would lose characters there; from then
    // on it is UTF-16, which the profile calls keep.
    if (!platform_.FitsAnsiCodePage(section + Key + stored) && !platform_.ConvertProfileToUnicode(fileName_).ok) {
        return false;
    }
    return platform_.WriteProfileString(section, Key, stored, fileName_);
}

std::wstring inifile_IO::Read(const std::wstring& section, const std::wstring& Key) {
    // The call gives at most size - 1 characters, and exactly that many both
    // when the value was cut and when it just fits: either way, ask again
    // with more room.
    for (int size = kBufferSize;; size *= 2) {
        std::wstring value = platform_.GetProfileString(section, Key, size, fileName_);
        if (value.size() < static_cast<std::size_t>(size - 1) || size >= kMaxBufferSize) return value;
    }
}

float inifile_IO::ReadSng(const std::wstring& section, const std::wstring& Key, const float& Def) {
    const auto value = platform_.TextToDouble(Read(section, Key));
    if (!value || std::fabs(*value) > static_cast<double>(std::numeric_limits<float>::max())) return Def;
    return static_cast<float>(*value);
}

std::int16_t inifile_IO::ReadInt(const std::wstring& section, const std::wstring& Key, const std::int16_t& Def) {
    const auto value = platform_.TextToLong(Read(section, Key));
    if (!value || *value < std::numeric_limits<std::int16_t>::min() ||
        *value > std::numeric_limits<std::int16_t>::max()) {
        return Def;
    }
    return static_cast<std::int16_t>(*value);
}

std::wstring inifile_IO::ReadStr(const std::wstring& section, const std::wstring& Key, const std::wstring& Def) {
    std::wstring value = Read(section, Key);
    return value.empty() ? Def : value;
}

void inifile_IO::FileName(const std::wstring& vData) { fileName_ = vData; }

std::wstring inifile_IO::FileName() const { return fileName_; }

}  // namespace quillmark
