#include "Log.h"

#include <windows.h>

#include "FileIo.h"

namespace standin {

namespace {

void Append(const std::wstring& path, const std::string& line) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

unsigned long long Now() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return Ticks(now);
}

}  // namespace

Log::Log() {
    const std::wstring folder = ProgramFolder();
    path_ = folder + L"ResHacker.events";
    timesPath_ = folder + L"ResHacker.times";
    const unsigned long long entered = Now();
    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) Time(L"created", Ticks(created));
    Time(L"start", entered);
}

Log::~Log() { Mark(L"exit"); }

void Log::Line(const std::wstring& tag, const std::wstring& text) const {
    Append(path_, ToUtf8(tag + L": " + text + L"\r\n"));
}

void Log::Mark(const wchar_t* event) const { Time(event, Now()); }

void Log::Time(const wchar_t* event, unsigned long long ticks) const {
    Append(timesPath_, ToUtf8(std::wstring(event) + L" " + std::to_wstring(ticks) + L" " +
                              std::to_wstring(GetCurrentProcessId()) + L"\r\n"));
}

std::wstring Log::Escape(const std::wstring& text) {
    static const wchar_t* hex = L"0123456789ABCDEF";
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
            case L'\\':
                out += L"\\\\";
                break;
            case L'\r':
                out += L"\\r";
                break;
            case L'\n':
                out += L"\\n";
                break;
            case L'\t':
                out += L"\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += L"\\x";
                    out.push_back(hex[(c >> 4) & 0xF]);
                    out.push_back(hex[c & 0xF]);
                } else {
                    out.push_back(c);
                }
        }
    }
    return out;
}

}  // namespace standin
