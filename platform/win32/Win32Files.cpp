#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/VersionReadBack.h"

#include "platform/win32/OpResults.h"
#include "platform/win32/SystemText.h"

namespace quillmark::win32 {

namespace {

constexpr DWORD kNotNormalFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// What ReplaceFileW names the temporary file it may leave beside the
// replaced one.
constexpr const wchar_t* kReplaceTempPattern = L"~RF*.TMP";
// Where a whole-file write goes before it takes the file's name.
constexpr const wchar_t* kWriteTempSuffix = L".quillmark-new";

// Calls `visit` with each entry the pattern finds, until it returns false.
template <typename Visit>
void ForEachFound(const std::wstring& pattern, Visit visit) {
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    while (visit(entry) && FindNextFileW(search, &entry)) {
    }
    FindClose(search);
}

std::set<std::wstring> NamesMatching(const std::wstring& folder, const wchar_t* pattern) {
    std::set<std::wstring> names;
    ForEachFound(folder + pattern, [&](const WIN32_FIND_DATAW& entry) {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.insert(entry.cFileName);
        return true;
    });
    return names;
}

}  // namespace

std::wstring Win32Platform::FindFirstNormalFile(const std::wstring& pattern) {
    std::wstring found;
    ForEachFound(pattern, [&](const WIN32_FIND_DATAW& entry) {
        if ((entry.dwFileAttributes & kNotNormalFile) != 0) return true;
        found = entry.cFileName;
        return false;
    });
    return found;
}

std::optional<std::wstring> Win32Platform::ShortPathName(const std::wstring& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) return std::nullopt;
    shortPath.resize(length);
    return shortPath;
}

WholePath Win32Platform::MakeWholePath(const std::wstring& path) {
    WholePath whole{path, PathKind::Missing};
    if (const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr); needed != 0) {
        std::wstring full(needed, L'\0');
        const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
        if (length != 0 && length < needed) whole.path = full.substr(0, length);
    }
    // Only an existing path has a long form; a missing one stays full.
    if (const DWORD needed = GetLongPathNameW(whole.path.c_str(), nullptr, 0); needed != 0) {
        std::wstring longPath(needed, L'\0');
        const DWORD length = GetLongPathNameW(whole.path.c_str(), longPath.data(), needed);
        if (length != 0 && length < needed) whole.path = longPath.substr(0, length);
    }
    const DWORD attributes = GetFileAttributesW(whole.path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        whole.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
    }
    return whole;
}

std::optional<LocalTime> Win32Platform::LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return std::nullopt;
    }
    return LocalTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute};
}

OpResult Win32Platform::CopyFileReplacing(const std::wstring& source, const std::wstring& destination) {
    if (!CopyFileW(source.c_str(), destination.c_str(), FALSE)) return Failed(GetLastError());
    return Succeeded();
}

ReplaceOutcome Win32Platform::ReplaceFileKeepingIdentity(const std::wstring& replacement,
                                                         const std::wstring& replaced) {
    const std::wstring folder = replaced.substr(0, replaced.find_last_of(L"\\/") + 1);
    const std::set<std::wstring> tempsBefore = NamesMatching(folder, kReplaceTempPattern);
    // The one call of ReplaceFileW, for the target and the settings file
    // alike: both are written through, and neither stays behind because its
    // security or streams could not be merged.
    if (ReplaceFileW(replaced.c_str(), replacement.c_str(), nullptr,
                     REPLACEFILE_WRITE_THROUGH | REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return {};
    }
    const DWORD error = GetLastError();
    ReplaceOutcome outcome{ReplaceOutcome::Kind::Unchanged, ErrorText(error)};
    // Without a backup name this error leaves nothing under the replaced
    // name, the replacement under its own: the plain move completes it.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        if (!MoveFileExW(replacement.c_str(), replaced.c_str(), MOVEFILE_WRITE_THROUGH)) {
            // The old file may survive only in the call's temporary file: keep it.
            return {ReplaceOutcome::Kind::ReplacedGone, ErrorText(GetLastError())};
        }
        outcome = {};
    }
    for (const std::wstring& name : NamesMatching(folder, kReplaceTempPattern)) {
        if (!tempsBefore.contains(name)) DeleteFileW((folder + name).c_str());
    }
    return outcome;
}

OpResult Win32Platform::RemoveFile(const std::wstring& path) {
    if (!DeleteFileW(path.c_str())) return Failed(GetLastError());
    return Succeeded();
}

OpResult Win32Platform::WriteWholeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const std::wstring temporary = path + kWriteTempSuffix;
    const HANDLE file =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed(GetLastError());
    DWORD error = ERROR_SUCCESS;
    std::size_t done = 0;
    while (error == ERROR_SUCCESS && done < bytes.size()) {
        const auto slice = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, slice, &written, nullptr)) error = GetLastError();
        done += written;
    }
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file)) error = GetLastError();
    CloseHandle(file);
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error == ERROR_SUCCESS) return Succeeded();
    DeleteFileW(temporary.c_str());
    return Failed(error);
}

std::optional<FileStamp> Win32Platform::StampOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return FileStamp{(std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime,
                     (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow};
}

FileRead Win32Platform::ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t maxLength,
                                      std::vector<std::uint8_t> storage) {
    // Others may go on reading and writing it: this only looks.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {Failed(GetLastError()), 0, {}};
    FileRead read{Succeeded(), 0, std::move(storage)};
    LARGE_INTEGER size{};
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!GetFileSizeEx(file, &size)) {
        read.status = Failed(GetLastError());
    } else if (read.fileSize = static_cast<std::uint64_t>(size.QuadPart); offset >= read.fileSize || maxLength == 0) {
        read.bytes.clear();
    } else {
        read.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(maxLength, read.fileSize - offset)));
        std::size_t done = 0;
        if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) read.status = Failed(GetLastError());
        while (read.status.ok && done < read.bytes.size()) {
            const auto slice = static_cast<DWORD>(std::min<std::size_t>(read.bytes.size() - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file, read.bytes.data() + done, slice, &got, nullptr)) {
                read.status = Failed(GetLastError());
            } else if (got == 0) {
                break;  // the file got shorter meanwhile
            }
            done += got;
        }
        read.bytes.resize(done);
    }
    CloseHandle(file);
    if (!read.status.ok) read.bytes.clear();
    return read;
}

OpResult Win32Platform::ProbeWrite(const std::wstring& path) {
    // Refused while another program holds the file without write sharing
    // (a running program's image), or when it is read-only or denied.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed(GetLastError());
    CloseHandle(file);
    return Succeeded();
}

VersionReadBack Win32Platform::ReadVersionBack(const std::wstring& path, const VersionQuery& query) {
    return ReadVersionResource(path, query);
}

VersionBlockRead Win32Platform::ReadShownVersionBlock(const std::wstring& path) {
    return ReadDisplayedVersionBlock(path);
}

}  // namespace quillmark::win32
