// Runs a batch of private-profile operations through the system's own
// GetPrivateProfileStringA / WritePrivateProfileStringA and their wide
// forms, and writes a report.
// Usage: WineProfile <batch file> <work folder> <report file>
// The report goes to a file because a pipe from a Wine process can stay open
// after the process ends.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProfileBatch.h"

namespace {

constexpr char kUntouched = '\xCC';

profile_compare::ReadResult Read(const std::string& section, const std::string& key, std::size_t bufferSize,
                                 const std::filesystem::path& file) {
    // Room past the size the call is given, so that a write beyond it shows.
    std::vector<char> buffer(bufferSize + 16, kUntouched);
    const DWORD count = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                                 static_cast<DWORD>(bufferSize), file.string().c_str());
    profile_compare::ReadResult result;
    result.count = count;
    const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(bufferSize);
    const auto nul = std::find(buffer.begin(), end, '\0');
    result.buffer.assign(buffer.begin(), nul);
    result.terminated = nul != end && std::all_of(end, buffer.end(), [](char c) { return c == kUntouched; });
    return result;
}

bool Write(const std::string& section, const std::string& key, const std::string& value,
           const std::filesystem::path& file) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.string().c_str()) != FALSE;
}

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide strings are UTF-16");

std::wstring AsWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

profile_compare::ReadResultW ReadW(const std::u16string& section, const std::u16string& key, std::size_t bufferSize,
                                   const std::filesystem::path& file) {
    constexpr wchar_t kUntouchedW = 0xCCCC;
    std::vector<wchar_t> buffer(bufferSize + 16, kUntouchedW);
    const DWORD count = GetPrivateProfileStringW(AsWide(section).c_str(), AsWide(key).c_str(), L"", buffer.data(),
                                                 static_cast<DWORD>(bufferSize), file.wstring().c_str());
    profile_compare::ReadResultW result;
    result.count = count;
    const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(bufferSize);
    const auto nul = std::find(buffer.begin(), end, L'\0');
    result.buffer.assign(buffer.begin(), nul);
    result.terminated = nul != end && std::all_of(end, buffer.end(), [](wchar_t c) { return c == kUntouchedW; });
    return result;
}

bool WriteW(const std::u16string& section, const std::u16string& key, const std::u16string& value,
            const std::filesystem::path& file) {
    return WritePrivateProfileStringW(AsWide(section).c_str(), AsWide(key).c_str(), AsWide(value).c_str(),
                                      file.wstring().c_str()) != FALSE;
}

}  // namespace

int main(int argc, char** argv) {
    return profile_compare::RunBatchProgram(argc, argv, "WineProfile", {Read, Write, ReadW, WriteW});
}
