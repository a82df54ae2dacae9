#include "platform/win32/VersionReadBack.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/SystemDlls.h"
#include "platform/win32/SystemText.h"
#include "verify/VersionInfo.h"

namespace quillmark::win32 {

namespace {

const LPCWSTR kVersionName = MAKEINTRESOURCEW(VS_VERSION_INFO);

// A file loaded as data is not checked against the sizes its resource
// directory gives: no more is read than the mapping holds from `data` on.
DWORD MappedBytesAt(const void* data, DWORD size) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(data, &region, sizeof region) == 0 || region.State != MEM_COMMIT) return 0;
    const auto* end = static_cast<const std::uint8_t*>(region.BaseAddress) + region.RegionSize;
    const auto mapped = static_cast<std::uint64_t>(end - static_cast<const std::uint8_t*>(data));
    return static_cast<DWORD>(std::min<std::uint64_t>(size, mapped));
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

// One language's version resource in a module loaded as data.
struct LanguageBlock {
    WORD language = 0;
    std::optional<verify::Bytes> block;  // nothing when it cannot be loaded
    bool pastMapping = false;            // its size runs past the file's mapping
};

std::vector<LanguageBlock> VersionBlocksOf(HMODULE module) {
    std::vector<WORD> languages;
    // A file without a version resource fails here; that is an answer too.
    EnumResourceLanguagesExW(module, RT_VERSION, kVersionName, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages),
                             0, 0);
    std::vector<LanguageBlock> blocks;
    for (const WORD language : languages) {
        LanguageBlock entry{language, std::nullopt, false};
        const HRSRC info = FindResourceExW(module, RT_VERSION, kVersionName, language);
        const HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
        const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (data != nullptr) {
            const DWORD size = SizeofResource(module, info);
            const DWORD mapped = MappedBytesAt(data, size);
            entry.block = verify::Bytes{static_cast<const std::uint8_t*>(data), mapped};
            entry.pastMapping = mapped < size;
        }
        blocks.push_back(entry);
    }
    return blocks;
}

// The version API copies a resource by the size its directory gives: one
// that runs past the file would make it read past the mapping.
bool VersionResourcesFitTheirFile(const std::wstring& path) {
    const HMODULE module =
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return true;  // the API then fails by itself
    const auto blocks = VersionBlocksOf(module);
    FreeLibrary(module);
    return std::none_of(blocks.begin(), blocks.end(), [](const LanguageBlock& b) { return b.pastMapping; });
}

// The block GetFileVersionInfoExW gives with `flags`; on failure, nothing
// and `error` set.
std::optional<std::vector<std::uint8_t>> FetchVersionBlock(DWORD flags, const std::wstring& path, DWORD& error) {
    DWORD ignored = 0;
    const DWORD size = dlls::GetFileVersionInfoSizeExW(flags, path.c_str(), &ignored);
    std::vector<std::uint8_t> block(size);
    if (size == 0 || !dlls::GetFileVersionInfoExW(flags, path.c_str(), 0, size, block.data())) {
        error = GetLastError();
        return std::nullopt;
    }
    return block;
}

verify::VersionValues ShownValues(const std::wstring& path, const VersionQuery& query) {
    DWORD error = 0;
    const auto block = FetchVersionBlock(FILE_VER_GET_NEUTRAL, path, error);
    return block ? verify::ReadVersionValues(*block, query.stringTable, query.keys) : verify::VersionValues{};
}

bool IsNoVersionResource(DWORD error) {
    return error == ERROR_RESOURCE_DATA_NOT_FOUND || error == ERROR_RESOURCE_TYPE_NOT_FOUND ||
           error == ERROR_RESOURCE_NAME_NOT_FOUND || error == ERROR_RESOURCE_LANG_NOT_FOUND;
}

}  // namespace

VersionBlockRead ReadDisplayedVersionBlock(const std::wstring& path) {
    if (!VersionResourcesFitTheirFile(path)) return {{false, ErrorText(ERROR_INVALID_DATA, path)}, {}};
    DWORD error = 0;
    // As GetFileVersionInfoW: flags 0 would leave the user's display
    // language out of the choice of block (Wine then gives 0409 before 0411).
    auto block = FetchVersionBlock(FILE_VER_GET_LOCALISED, path, error);
    if (!block) {
        if (IsNoVersionResource(error)) return {{true, {}}, {}};
        return {{false, ErrorText(error, path)}, {}};
    }
    return {{true, {}}, std::move(*block)};
}

VersionReadBack ReadVersionResource(const std::wstring& path, const VersionQuery& query) {
    VersionReadBack back;
    const HMODULE module =
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        back.loaded = {false, ErrorText(GetLastError(), path)};
        return back;
    }
    bool fits = true;
    for (const LanguageBlock& entry : VersionBlocksOf(module)) {
        LanguageVersion language{entry.language, {}};
        if (entry.block) language.values = verify::ReadVersionValues(*entry.block, query.stringTable, query.keys);
        fits = fits && !entry.pastMapping;
        back.languages.push_back(std::move(language));
    }
    FreeLibrary(module);
    back.loaded = {true, {}};
    // Nothing is shown then: the read-back names the resource's fault.
    if (fits) back.shown = ShownValues(path, query);
    return back;
}

}  // namespace quillmark::win32
