#include "platform/win32/Win32Platform.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/OpResults.h"
#include "platform/win32/SystemText.h"

namespace quillmark::win32 {

namespace {

// Far beyond any settings file; the conversion reads it whole.
constexpr std::size_t kMaxProfileBytes = 16u << 20;

}  // namespace

std::wstring Win32Platform::GetProfileString(const std::wstring& section, const std::wstring& key, int bufferSize,
                                             const std::wstring& file) {
    const auto size = static_cast<std::size_t>(std::max(bufferSize, 0));
    std::vector<wchar_t> buffer(size + 1, L'\0');
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(), static_cast<DWORD>(size), file.c_str());
    return std::wstring(buffer.data());
}

bool Win32Platform::WriteProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                                       const std::wstring& file) {
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

OpResult Win32Platform::ConvertProfileToUnicode(const std::wstring& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return Failed(GetLastError());
    // The profile calls refuse to write a read-only file; so does this.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return Failed(ERROR_ACCESS_DENIED);
    std::string bytes;
    if (exists) {
        const FileRead read = ReadFileRange(file, 0, kMaxProfileBytes + 1, {});
        if (!read.status.ok) return read.status;
        if (read.fileSize > kMaxProfileBytes) return Failed(ERROR_FILE_TOO_LARGE);
        bytes.assign(read.bytes.begin(), read.bytes.end());
    }
    if (bytes.starts_with("\xFF\xFE")) return Succeeded();

    // A file that begins with the UTF-8 mark holds UTF-8 (Wine reads it so);
    // any other holds ANSI text.
    const bool utf8 = bytes.starts_with("\xEF\xBB\xBF");
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    const std::string_view ansi = std::string_view(bytes).substr(utf8 ? 3 : 0);
    std::wstring content(1, L'\xFEFF');
    if (!ansi.empty()) {
        const int length = static_cast<int>(ansi.size());
        const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.data(), length, nullptr, 0);
        if (size <= 0) return Failed(GetLastError());
        content.resize(1 + static_cast<std::size_t>(size));
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.data(), length, content.data() + 1, size);
    }

    // Written beside it first, so that a failure leaves the file as it was.
    const std::wstring temporary = file + L".quillmark-tmp";
    const HANDLE out =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return Failed(GetLastError());
    const auto contentBytes = static_cast<DWORD>(content.size() * sizeof(wchar_t));
    DWORD written = 0;
    const bool wrote = WriteFile(out, content.data(), contentBytes, &written, nullptr) && written == contentBytes;
    const DWORD writeError = GetLastError();
    CloseHandle(out);
    if (!wrote || !exists) {
        if (wrote && MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH)) return Succeeded();
        const DWORD error = wrote ? GetLastError() : writeError;
        DeleteFileW(temporary.c_str());
        return Failed(error);
    }
    // The press's replacement, so that the settings file keeps its attributes
    // and security as the target does.
    const ReplaceOutcome outcome = ReplaceFileKeepingIdentity(temporary, file);
    if (outcome.kind == ReplaceOutcome::Kind::Replaced) return Succeeded();
    // With no file left under the settings file's name, the converted copy
    // is kept beside it.
    if (outcome.kind == ReplaceOutcome::Kind::Unchanged) DeleteFileW(temporary.c_str());
    return {false, outcome.error};
}

}  // namespace quillmark::win32
