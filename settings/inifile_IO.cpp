#include "settings/inifile_IO.h"

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
    return platform_.GetProfileString(section, Key, kBufferSize, fileName_);
}

float inifile_IO::ReadSng(const std::wstring& section, const std::wstring& Key, const float& Def) {
    return platform_.TextToSingle(Read(section, Key)).value_or(Def);
}

std::int16_t inifile_IO::ReadInt(const std::wstring& section, const std::wstring& Key, const std::int16_t& Def) {
    return platform_.TextToInteger(Read(section, Key)).value_or(Def);
}

std::wstring inifile_IO::ReadStr(const std::wstring& section, const std::wstring& Key, const std::wstring& Def) {
    std::wstring value = Read(section, Key);
    return value.empty() ? Def : value;
}

void inifile_IO::FileName(const std::wstring& vData) { fileName_ = vData; }

std::wstring inifile_IO::FileName() const { return fileName_; }

}  // namespace quillmark
