#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/OpResults.h"
#include "platform/win32/SystemText.h"

namespace quillmark::win32 {

namespace {

constexpr const wchar_t* kAppTitle = L"Quillmark";

// The automation conversions take a writable string in some SDKs.
template <typename Result, typename Native, typename Conversion>
std::optional<Result> Converted(const std::wstring& text, Conversion conversion) {
    std::wstring copy = text;
    Native value{};
    if (FAILED(conversion(copy.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
    return static_cast<Result>(value);
}

}  // namespace

std::wstring Win32Platform::ModulePath() const {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring Win32Platform::ProgramFolder() {
    const std::wstring path = ModulePath();
    const std::size_t separator = path.find_last_of(L'\\');
    if (separator == std::wstring::npos) return {};
    // A drive root keeps its backslash ("C:\"), any other folder drops it.
    if (separator == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, separator);
}

std::wstring Win32Platform::ExeBaseName() {
    const std::wstring path = ModulePath();
    const std::size_t separator = path.find_last_of(L'\\');
    std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

std::wstring Win32Platform::AppTitle() { return kAppTitle; }

void Win32Platform::EndProgram() { ExitProcess(0); }

std::vector<std::wstring> Win32Platform::CommandLineArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return {};
    std::vector<std::wstring> result;
    for (int i = 1; i < count; ++i) result.emplace_back(arguments[i]);
    LocalFree(arguments);
    return result;
}

std::optional<std::int32_t> Win32Platform::TextToLong(const std::wstring& text) {
    return Converted<std::int32_t, LONG>(text, VarI4FromStr);
}

std::optional<double> Win32Platform::TextToDouble(const std::wstring& text) {
    return Converted<double, DOUBLE>(text, VarR8FromStr);
}

bool Win32Platform::FitsAnsiCodePage(const std::wstring& text) { return FitsAnsi(text); }

std::wstring Win32Platform::FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return {};
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
    const int length = MultiByteToWideChar(CP_ACP, 0, data, size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, data, size, text.data(), length);
    return text;
}

std::wstring Win32Platform::LocalAppDataFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            std::wstring folder(buffer.data(), length);
            while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
            return folder;
        }
        buffer.resize(length);
    }
}

}  // namespace quillmark::win32
