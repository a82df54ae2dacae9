#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace quillmark {

// Single values of one INI file, through the platform's private-profile
// calls. A missing or empty value reads as the caller's default.
class inifile_IO {
public:
    static constexpr int kBufferSize = 1024;

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
