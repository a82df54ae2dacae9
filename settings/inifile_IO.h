#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace quillmark {

// A value as it is written so that it reads back whole: in one pair of
// double quotes when it begins or ends with a blank or a quote, which the
// profile calls would otherwise take off.
std::wstring ProfileStoredValue(const std::wstring& value);

// Single values of one INI file, through the platform's private-profile
// calls. A value is read whole, however long; a missing or empty value reads
// as the caller's default. The file
// is turned into UTF-16 before a value is written that the ANSI code page
// cannot hold; a file that cannot be converted is not written.
class inifile_IO {
public:
    // The first buffer of a read; it doubles until the value fits, up to
    // kMaxBufferSize, which no settings value of a file Quillmark reads whole
    // comes near.
    static constexpr int kBufferSize = 1024;
    static constexpr int kMaxBufferSize = 1 << 24;

    explicit inifile_IO(Platform& platform);

    bool WriteStr(const std::wstring& section, const std::wstring& Key, const std::wstring& sData);
    float ReadSng(const std::wstring& section, const std::wstring& Key, const float& Def);
    std::int16_t ReadInt(const std::wstring& section, const std::wstring& Key, const std::int16_t& Def);
    std::wstring ReadStr(const std::wstring& section, const std::wstring& Key, const std::wstring& Def);

    void FileName(const std::wstring& vData);
    std::wstring FileName() const;

private:
    std::wstring Read(const std::wstring& section, const std::wstring& Key);

    Platform& platform_;
    std::wstring fileName_;
};

}  // namespace quillmark
