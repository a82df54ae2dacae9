#include "settings/inifile_IO.h"

namespace quillmark {

inifile_IO::inifile_IO(Platform& platform) : platform_(platform) {}

bool inifile_IO::WriteStr(const std::wstring& section, const std::wstring& Key, const std::wstring& sData) {
    return platform_.WriteProfileString(section, Key, sData, fileName_);
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
