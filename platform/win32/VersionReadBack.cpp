#include "platform/win32/VersionReadBack.h"

#include <array>
#include <cstring>
#include <cwchar>
#include <optional>
#include <vector>

#include "platform/win32/SystemDlls.h"
#include "platform/win32/SystemText.h"
#include "verify/VersionInfo.h"

namespace quillmark::win32 {

namespace {

constexpr DWORD kFixedSignature = 0xFEEF04BD;
const LPCWSTR kVersionName = MAKEINTRESOURCEW(VS_VERSION_INFO);

// A version block with the alignment the version API expects of it.
using Block = std::vector<DWORD>;

verify::Bytes BytesOf(const Block& block, DWORD size) {
    return {reinterpret_cast<const std::uint8_t*>(block.data()), size};
}

Block EmptyBlock(DWORD size) { return Block((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0); }

Block BlockOf(const void* data, DWORD size) {
    Block block = EmptyBlock(size);
    std::memcpy(block.data(), data, size);
    return block;
}

std::array<std::uint16_t, 4> Split(DWORD high, DWORD low) {
    return {HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low)};
}

// A 16-bit block reads as not found: the API would write past the block.
verify::VersionValues QueryValues(const Block& block, DWORD size, const VersionQuery& query) {
    verify::VersionValues values;
    if (verify::LayoutOf(BytesOf(block, size)) != verify::VersionLayout::Wide) return values;
    values.found = true;
    void* found = nullptr;
    UINT length = 0;
    if (dlls::VerQueryValueW(block.data(), L"\\", &found, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(found);
        if (fixed->dwSignature == kFixedSignature) {
            values.fixed = verify::FixedVersions{Split(fixed->dwFileVersionMS, fixed->dwFileVersionLS),
                                                 Split(fixed->dwProductVersionMS, fixed->dwProductVersionLS)};
        }
    }
    for (const std::wstring& key : query.keys) {
        const std::wstring path = L"\\StringFileInfo\\" + query.stringTable + L"\\" + key;
        found = nullptr;
        length = 0;
        if (!dlls::VerQueryValueW(block.data(), path.c_str(), &found, &length)) {
            values.strings.emplace_back(std::nullopt);
            continue;
        }
        // The length counts characters, with the NUL or without it.
        const auto* text = static_cast<const wchar_t*>(found);
        values.strings.emplace_back(text == nullptr ? std::wstring{} : std::wstring(text, wcsnlen(text, length)));
    }
    return values;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

// Every language of the version resource, each with its own values.
void ReadLanguages(HMODULE module, const VersionQuery& query, VersionReadBack& back) {
    std::vector<WORD> languages;
    // A file without a version resource fails here; that is an answer too.
    EnumResourceLanguagesExW(module, RT_VERSION, kVersionName, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages),
                             0, 0);
    for (const WORD language : languages) {
        LanguageVersion entry{language, {}};
        const HRSRC info = FindResourceExW(module, RT_VERSION, kVersionName, language);
        const HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
        const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
        const DWORD size = data != nullptr ? SizeofResource(module, info) : 0;
        if (data != nullptr) entry.values = QueryValues(BlockOf(data, size), size, query);
        back.languages.push_back(std::move(entry));
    }
}

// The block GetFileVersionInfoExW gives with `flags`; on failure, nothing
// and `error` set.
std::optional<Block> FetchVersionBlock(DWORD flags, const std::wstring& path, DWORD& size, DWORD& error) {
    DWORD ignored = 0;
    size = dlls::GetFileVersionInfoSizeExW(flags, path.c_str(), &ignored);
    Block block = EmptyBlock(size);
    if (size == 0 || !dlls::GetFileVersionInfoExW(flags, path.c_str(), 0, size, block.data())) {
        error = GetLastError();
        return std::nullopt;
    }
    return block;
}

verify::VersionValues ShownValues(const std::wstring& path, const VersionQuery& query) {
    DWORD size = 0;
    DWORD error = 0;
    const auto block = FetchVersionBlock(FILE_VER_GET_NEUTRAL, path, size, error);
    return block ? QueryValues(*block, size, query) : verify::VersionValues{};
}

bool IsNoVersionResource(DWORD error) {
    return error == ERROR_RESOURCE_DATA_NOT_FOUND || error == ERROR_RESOURCE_TYPE_NOT_FOUND ||
           error == ERROR_RESOURCE_NAME_NOT_FOUND || error == ERROR_RESOURCE_LANG_NOT_FOUND;
}

}  // namespace

VersionBlockRead ReadDisplayedVersionBlock(const std::wstring& path) {
    DWORD size = 0;
    DWORD error = 0;
    // As GetFileVersionInfoW: flags 0 would leave the user's display
    // language out of the choice of block (Wine then gives 0409 before 0411).
    const auto block = FetchVersionBlock(FILE_VER_GET_LOCALISED, path, size, error);
    if (!block) {
        if (IsNoVersionResource(error)) return {{true, {}}, {}};
        return {{false, ErrorText(error, path)}, {}};
    }
    const verify::Bytes bytes = BytesOf(*block, size);
    return {{true, {}}, {bytes.begin(), bytes.end()}};
}

VersionReadBack ReadVersionResource(const std::wstring& path, const VersionQuery& query) {
    VersionReadBack back;
    const HMODULE module =
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        back.loaded = {false, ErrorText(GetLastError(), path)};
        return back;
    }
    ReadLanguages(module, query, back);
    FreeLibrary(module);
    back.loaded = {true, {}};
    back.shown = ShownValues(path, query);
    return back;
}

}  // namespace quillmark::win32
