#include "platform/win32/VersionReadBack.h"

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
        if (data != nullptr) {
            const verify::Bytes block{static_cast<const std::uint8_t*>(data), size};
            entry.values = verify::ReadVersionValues(block, query.stringTable, query.keys);
        }
        back.languages.push_back(std::move(entry));
    }
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
    ReadLanguages(module, query, back);
    FreeLibrary(module);
    back.loaded = {true, {}};
    back.shown = ShownValues(path, query);
    return back;
}

}  // namespace quillmark::win32
