#include "Merge.h"

#include <windows.h>

#include <vector>

#include "FileIo.h"
#include "ResFile.h"

namespace standin {

namespace {

ResId IdOf(LPCWSTR id) { return IS_INTRESOURCE(id) ? ResId::Ordinal(LOWORD(id)) : ResId::Named(id); }

LPCWSTR PointerOf(const ResId& id) { return id.isOrdinal ? MAKEINTRESOURCEW(id.ordinal) : id.name.c_str(); }

// One item of the source: the editor tells items apart by type, name and language.
struct ExistingItem {
    ResId type;
    ResId name;
    WORD language;
    std::vector<std::uint8_t> data;
};

BOOL CALLBACK CollectLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param) {
    ExistingItem found{IdOf(type), IdOf(name), language, {}};
    HRSRC info = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
    const auto* bytes = static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes != nullptr) found.data.assign(bytes, bytes + SizeofResource(module, info));
    reinterpret_cast<std::vector<ExistingItem>*>(param)->push_back(std::move(found));
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    EnumResourceLanguagesW(module, type, name, CollectLanguage, param);
    return TRUE;
}

BOOL CALLBACK CollectType(HMODULE module, LPWSTR type, LONG_PTR param) {
    EnumResourceNamesW(module, type, CollectName, param);
    return TRUE;
}

bool SameItem(const ExistingItem& item, const ResEntry& entry) {
    return item.type.SameAs(entry.type) && item.name.SameAs(entry.name) && item.language == entry.language;
}

bool SourceHas(const std::vector<ExistingItem>& existing, const ResEntry& entry) {
    for (const ExistingItem& item : existing) {
        if (SameItem(item, entry)) return true;
    }
    return false;
}

std::wstring Describe(const ResId& type, const ResId& name, WORD language) {
    return type.Text() + L"/" + name.Text() + L" language " + std::to_wstring(language);
}

std::wstring Describe(const ResEntry& e) { return Describe(e.type, e.name, e.language); }

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
}

}  // namespace

void LogMergeRun(MergeVerb verb, const std::wstring& src, const std::wstring& dst, const std::wstring& resPath,
                 const Log& log) {
    const wchar_t* verbName = verb == MergeVerb::AddSkip ? L"addskip" : L"modify";
    log.Line(L"merge", std::wstring(verbName) + L" src=[" + src + L"] dst=[" + dst + L"] res=[" + resPath + L"]");
}

int RunMerge(MergeVerb verb, const std::wstring& src, const std::wstring& dst, const std::wstring& resPath,
             const Log& log) {
    LogMergeRun(verb, src, dst, resPath, log);

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
    std::vector<ExistingItem> existing;
    EnumResourceTypesW(module, CollectType, reinterpret_cast<LONG_PTR>(&existing));
    FreeLibrary(module);

    std::vector<const ResEntry*> chosen;
    for (const ResEntry& entry : *entries) {
        const bool exists = SourceHas(existing, entry);
        const bool take = verb == MergeVerb::AddSkip ? !exists : exists;
        log.Line(take ? L"merge-take" : L"merge-skip",
                 Describe(entry) + (exists ? L": the source has it" : L": absent from the source"));
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
    // Other languages of a replaced name stay: they are other items.
    for (const ExistingItem& old : existing) {
        bool replaced = false;
        for (const ResEntry* entry : chosen) replaced = replaced || SameItem(old, *entry);
        const std::wstring what = Describe(old.type, old.name, old.language);
        if (replaced) {
            log.Line(L"merge-delete", what + L": replaced");
            continue;
        }
        if (old.data.empty() || !write(old.type, old.name, old.language, old.data)) {
            EndUpdateResourceW(update, TRUE);
            return fail(L"cannot keep " + what);
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
