#pragma once

#include "platform/win32/WindowsApi.h"

#include <functional>
#include <string>

namespace quillmark::wintest {

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Creates a file with the given bytes (and attributes); false on failure.
bool WriteBytes(const std::wstring& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
std::string ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);

// The folder of the running test program, without a trailing backslash.
std::wstring ModuleFolder();
// The quoted path of the helper program the tests start.
std::wstring QuotedHelper();

// Handles this thread's messages until `done` holds or the time is up;
// returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

}  // namespace quillmark::wintest
