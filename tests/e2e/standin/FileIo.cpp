#include "FileIo.h"

#include <algorithm>

#include <windows.h>

namespace standin {

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    LARGE_INTEGER size{};
    std::optional<std::vector<std::uint8_t>> result;
    if (GetFileSizeEx(file, &size) && size.QuadPart < (1LL << 30)) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (bytes.empty() ||
            (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size())) {
            result = std::move(bytes);
        }
    }
    CloseHandle(file);
    return result;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const std::wstring temp = path + L".standin-tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    if (!ok || !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

std::optional<std::uint64_t> CutFileToHalf(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    LARGE_INTEGER size{};
    std::optional<std::uint64_t> result;
    if (GetFileSizeEx(file, &size)) {
        LARGE_INTEGER half{};
        half.QuadPart = size.QuadPart / 2;
        if (SetFilePointerEx(file, half, nullptr, FILE_BEGIN) && SetEndOfFile(file)) {
            result = static_cast<std::uint64_t>(half.QuadPart);
        }
    }
    CloseHandle(file);
    return result;
}

namespace {

std::optional<std::uint32_t> At(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t size) {
    if (offset + size > bytes.size()) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

// Where the PE header starts; nothing when the bytes are no program.
std::optional<std::size_t> PeHeader(const std::vector<std::uint8_t>& bytes) {
    const auto pe = At(bytes, 0x3C, 4);
    if (At(bytes, 0, 2) != 0x5A4Du || !pe || At(bytes, *pe, 4) != 0x4550u) return std::nullopt;
    return *pe;
}

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawSize, rawPointer;
};

std::optional<std::vector<Section>> SectionsOf(const std::vector<std::uint8_t>& bytes, std::size_t pe) {
    const auto count = At(bytes, pe + 6, 2);
    const auto optionalSize = At(bytes, pe + 20, 2);
    if (!count || !optionalSize) return std::nullopt;
    std::vector<Section> sections;
    for (std::size_t s = 0; s < *count; ++s) {
        const std::size_t header = pe + 24 + *optionalSize + s * 40;
        const auto virtualSize = At(bytes, header + 8, 4);
        const auto virtualAddress = At(bytes, header + 12, 4);
        const auto rawSize = At(bytes, header + 16, 4);
        const auto rawPointer = At(bytes, header + 20, 4);
        if (!virtualSize || !virtualAddress || !rawSize || !rawPointer) return std::nullopt;
        sections.push_back({*virtualAddress, *virtualSize, *rawSize, *rawPointer});
    }
    return sections;
}

}  // namespace

std::optional<std::size_t> ImageEnd(const std::vector<std::uint8_t>& bytes) {
    const auto pe = PeHeader(bytes);
    const auto headers = pe ? At(bytes, *pe + 24 + 60, 4) : std::nullopt;
    const auto sections = pe ? SectionsOf(bytes, *pe) : std::nullopt;
    if (!headers || !sections) return std::nullopt;
    std::size_t end = *headers;
    for (const Section& s : *sections) {
        if (s.rawSize != 0) end = std::max<std::size_t>(end, std::size_t{s.rawPointer} + s.rawSize);
    }
    return end;
}

std::optional<ResourceDirectory> ResourceDirectoryOf(const std::vector<std::uint8_t>& bytes) {
    const auto pe = PeHeader(bytes);
    const auto magic = pe ? At(bytes, *pe + 24, 2) : std::nullopt;
    if (!magic || (*magic != 0x10B && *magic != 0x20B)) return std::nullopt;
    // The data directories follow the optional header's fixed part; the resource one is the third.
    const std::size_t entry = *pe + 24 + (*magic == 0x20B ? 112 : 96) + 2 * 8;
    const auto rva = At(bytes, entry, 4);
    const auto size = At(bytes, entry + 4, 4);
    if (!rva || !size) return std::nullopt;
    return ResourceDirectory{entry + 4, *rva, *size};
}

std::optional<std::vector<std::uint8_t>> SectionBytesAt(const std::vector<std::uint8_t>& bytes, std::uint32_t rva) {
    const auto pe = PeHeader(bytes);
    const auto sections = pe ? SectionsOf(bytes, *pe) : std::nullopt;
    if (!sections) return std::nullopt;
    for (const Section& s : *sections) {
        const std::uint32_t span = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || rva - s.virtualAddress >= span) continue;
        if (std::size_t{s.rawPointer} + s.rawSize > bytes.size()) return std::nullopt;
        return std::vector<std::uint8_t>(bytes.begin() + s.rawPointer, bytes.begin() + s.rawPointer + s.rawSize);
    }
    return std::nullopt;
}

std::wstring ProgramFolder() {
    std::wstring exe(MAX_PATH, L'\0');
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()))) == exe.size()) {
        exe.resize(exe.size() * 2);
    }
    exe.resize(n);
    return exe.substr(0, exe.find_last_of(L"\\/") + 1);
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring DecodeText(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::wstring text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
        }
        return text;
    }
    std::size_t start = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) start = 3;
    if (start >= bytes.size()) return {};
    const char* data = reinterpret_cast<const char*>(bytes.data()) + start;
    const int size = static_cast<int>(bytes.size() - start);
    const int n = MultiByteToWideChar(CP_UTF8, 0, data, size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, data, size, text.data(), n);
    return text;
}

std::wstring LastErrorText() {
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = L"error " + std::to_wstring(code);
    if (n != 0 && buffer != nullptr) {
        std::wstring message(buffer, n);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
            message.pop_back();
        }
        text += L" (" + message + L")";
    }
    if (buffer != nullptr) LocalFree(buffer);
    return text;
}

}  // namespace standin
