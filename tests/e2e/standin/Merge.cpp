#include "Merge.h"

#include <windows.h>

#include <vector>

#include "FileIo.h"
#include "ResFile.h"

namespace standin {

namespace {

ResId IdOf(LPCWSTR id) { return IS_INTRESOURCE(id) ? ResId::Ordinal(LOWORD(id)) : ResId::Named(id); }

LPCWSTR PointerOf(const ResId& id) { return id.isOrdinal ? MAKEINTRESOURCEW(id.ordinal) : id.name.c_str(); }

struct ExistingLanguage {
    WORD language;
    std::vector<std::uint8_t> data;
};

struct ExistingResource {
    ResId type;
    ResId name;
    std::vector<ExistingLanguage> languages;
};

BOOL CALLBACK CollectLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param) {
    ExistingLanguage found{language, {}};
    HRSRC info = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
    const auto* bytes = static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes != nullptr) found.data.assign(bytes, bytes + SizeofResource(module, info));
    reinterpret_cast<ExistingResource*>(param)->languages.push_back(std::move(found));
    return TRUE;
}

struct Collector {
    std::vector<ExistingResource> found;
};

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    ExistingResource res{IdOf(type), IdOf(name), {}};
    EnumResourceLanguagesW(module, type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&res));
    reinterpret_cast<Collector*>(param)->found.push_back(std::move(res));
    return TRUE;
}

BOOL CALLBACK CollectType(HMODULE module, LPWSTR type, LONG_PTR param) {
    EnumResourceNamesW(module, type, CollectName, param);
    return TRUE;
}

const ExistingResource* Find(const std::vector<ExistingResource>& existing, const ResEntry& entry) {
    for (const ExistingResource& e : existing) {
        if (e.type.SameAs(entry.type) && e.name.SameAs(entry.name)) return &e;
    }
    return nullptr;
}

std::wstring Describe(const ResEntry& e) {
    return e.type.Text() + L"/" + e.name.Text() + L"/" + std::to_wstring(e.language);
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
}

}  // namespace

int RunMerge(MergeVerb verb, const std::wstring& src, const std::wstring& dst, const std::wstring& resPath,
             const Log& log) {
    const wchar_t* verbName = verb == MergeVerb::AddSkip ? L"addskip" : L"modify";
    log.Line(L"merge", std::wstring(verbName) + L" src=[" + src + L"] dst=[" + dst + L"] res=[" + resPath + L"]");

    const auto resBytes = ReadFileBytes(resPath);
    if (!resBytes) {
        log.Line(L"merge-error", L"cannot read the resource file: " + LastErrorText());
        return 2;
    }
    std::wstring parseError;
    const auto entries = ParseResFile(*resBytes, parseError);
    if (!entries || entries->empty()) {
        log.Line(L"merge-error", entries ? L"the resource file holds no resource" : parseError);
        return 2;
    }

    HMODULE module = LoadLibraryExW(src.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        log.Line(L"merge-error", L"cannot load the source file: " + LastErrorText());
        return 2;
    }
    Collector collector;
    EnumResourceTypesW(module, CollectType, reinterpret_cast<LONG_PTR>(&collector));
    FreeLibrary(module);

    std::vector<const ResEntry*> chosen;
    for (const ResEntry& entry : *entries) {
        const bool exists = Find(collector.found, entry) != nullptr;
        const bool take = verb == MergeVerb::AddSkip ? !exists : exists;
        log.Line(take ? L"merge-take" : L"merge-skip", Describe(entry) + (exists ? L" exists" : L" absent"));
        if (take) chosen.push_back(&entry);
    }
    if (chosen.empty()) {
        log.Line(L"merge-result", L"nothing to do; destination untouched; exit 1");
        return 1;
    }

    wchar_t temp[MAX_PATH + 1] = {};
    if (GetTempFileNameW(FolderOf(dst).c_str(), L"rhs", 0, temp) == 0) {
        log.Line(L"merge-error", L"cannot make a temporary file: " + LastErrorText());
        return 2;
    }
    auto fail = [&](const std::wstring& what) {
        log.Line(L"merge-error", what + L": " + LastErrorText());
        DeleteFileW(temp);
        return 2;
    };
    if (!CopyFileW(src.c_str(), temp, FALSE)) return fail(L"cannot copy the source file");

    // The update starts empty and gets every kept resource again: Wine reads
    // the file's own resources back in at EndUpdateResource, so a deletion
    // through UpdateResource would not stick there.
    HANDLE update = BeginUpdateResourceW(temp, TRUE);
    if (update == nullptr) return fail(L"BeginUpdateResource failed");
    auto write = [&](const ResId& type, const ResId& name, WORD language, const std::vector<std::uint8_t>& data) {
        return UpdateResourceW(update, PointerOf(type), PointerOf(name), language,
                               const_cast<std::uint8_t*>(data.data()), static_cast<DWORD>(data.size())) != FALSE;
    };
    for (const ExistingResource& old : collector.found) {
        bool replaced = false;
        for (const ResEntry* entry : chosen) {
            replaced = replaced || (old.type.SameAs(entry->type) && old.name.SameAs(entry->name));
        }
        for (const ExistingLanguage& language : old.languages) {
            const std::wstring what =
                old.type.Text() + L"/" + old.name.Text() + L"/" + std::to_wstring(language.language);
            if (replaced) {
                log.Line(L"merge-delete", what);
                continue;
            }
            if (language.data.empty() || !write(old.type, old.name, language.language, language.data)) {
                EndUpdateResourceW(update, TRUE);
                return fail(L"cannot keep " + what);
            }
        }
    }
    for (const ResEntry* entry : chosen) {
        if (!write(entry->type, entry->name, entry->language, entry->data)) {
            EndUpdateResourceW(update, TRUE);
            return fail(L"cannot write " + Describe(*entry));
        }
    }
    if (!EndUpdateResourceW(update, FALSE)) return fail(L"EndUpdateResource failed");
    if (!MoveFileExW(temp, dst.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        return fail(L"cannot replace the destination");
    }
    log.Line(L"merge-result", std::to_wstring(chosen.size()) + L" resource(s) merged; exit 0");
    return 0;
}

}  // namespace standin
