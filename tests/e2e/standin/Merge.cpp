#include "Merge.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "FileIo.h"
#include "ResFile.h"
#include "RunLog.h"

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

// A failure goes to the events and, shorter, to the editor's own log.
void Failed(const wchar_t* tag, const std::wstring& text, const Log& log, RunLog& report) {
    log.Line(tag, text);
    report.Error(text);
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
}

// The items of a program, or nothing (logged under `errorTag`) when it cannot be loaded.
std::optional<std::vector<ExistingItem>> ItemsOf(const std::wstring& path, const wchar_t* errorTag, const Log& log,
                                                 RunLog& report) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        Failed(errorTag, L"cannot load the source file: " + LastErrorText(), log, report);
        return std::nullopt;
    }
    std::vector<ExistingItem> items;
    EnumResourceTypesW(module, CollectType, reinterpret_cast<LONG_PTR>(&items));
    FreeLibrary(module);
    return items;
}

struct NewItem {
    const ResId& type;
    const ResId& name;
    WORD language;
    const std::vector<std::uint8_t>& data;
};

// Writes `dst` as `src` holding exactly `items`, through a temporary file
// beside `dst`, so that a failure leaves `dst` as it was (also when it is
// `src`). Returns 0, or 2 after logging under `errorTag`.
int WriteWithItems(const std::wstring& src, const std::wstring& dst, const std::vector<NewItem>& items,
                   const wchar_t* errorTag, const Log& log, RunLog& report) {
    wchar_t temp[MAX_PATH + 1] = {};
    if (GetTempFileNameW(FolderOf(dst).c_str(), L"rhs", 0, temp) == 0) {
        Failed(errorTag, L"cannot make a temporary file: " + LastErrorText(), log, report);
        return 2;
    }
    auto fail = [&](const std::wstring& what) {
        Failed(errorTag, what + L": " + LastErrorText(), log, report);
        DeleteFileW(temp);
        return 2;
    };
    if (!CopyFileW(src.c_str(), temp, FALSE)) return fail(L"cannot copy the source file");

    // The update starts empty and gets every kept resource again: Wine reads
    // the file's own resources back in at EndUpdateResource, so a deletion
    // through UpdateResource would not stick there.
    HANDLE update = BeginUpdateResourceW(temp, TRUE);
    if (update == nullptr) return fail(L"BeginUpdateResource failed");
    for (const NewItem& item : items) {
        if (item.data.empty() ||
            !UpdateResourceW(update, PointerOf(item.type), PointerOf(item.name), item.language,
                             const_cast<std::uint8_t*>(item.data.data()), static_cast<DWORD>(item.data.size()))) {
            EndUpdateResourceW(update, TRUE);
            return fail(L"cannot write " + Describe(item.type, item.name, item.language));
        }
    }
    if (!EndUpdateResourceW(update, FALSE)) return fail(L"EndUpdateResource failed");
    if (!MoveFileExW(temp, dst.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        return fail(L"cannot replace the destination");
    }
    return 0;
}

}  // namespace

void LogMergeRun(MergeVerb verb, const std::wstring& src, const std::wstring& dst, const std::wstring& resPath,
                 const Log& log) {
    const wchar_t* verbName = verb == MergeVerb::AddSkip ? L"addskip" : L"modify";
    log.Line(L"merge", std::wstring(verbName) + L" src=[" + src + L"] dst=[" + dst + L"] res=[" + resPath + L"]");
}

int RunMerge(MergeVerb verb, const std::wstring& src, const std::wstring& dst, const std::wstring& resPath,
             bool keepOthers, const Log& log, RunLog& report) {
    LogMergeRun(verb, src, dst, resPath, log);

    const auto resBytes = ReadFileBytes(resPath);
    if (!resBytes) {
        Failed(L"merge-error", L"cannot read the resource file: " + LastErrorText(), log, report);
        return 2;
    }
    std::wstring parseError;
    const auto entries = ParseResFile(*resBytes, parseError);
    if (!entries || entries->empty()) {
        Failed(L"merge-error", entries ? L"the resource file holds no resource" : parseError, log, report);
        return 2;
    }

    const auto existing = ItemsOf(src, L"merge-error", log, report);
    if (!existing) return 2;

    std::vector<const ResEntry*> chosen;
    for (const ResEntry& entry : *entries) {
        const bool exists = SourceHas(*existing, entry);
        const bool take = verb == MergeVerb::AddSkip ? !exists : exists;
        log.Line(take ? L"merge-take" : L"merge-skip",
                 Describe(entry) + (exists ? L": the source has it" : L": absent from the source"));
        if (take) chosen.push_back(&entry);
    }
    if (chosen.empty()) {
        log.Line(L"merge-result", L"nothing to do; destination untouched");
        return 1;
    }

    std::vector<NewItem> written;
    // Other languages of a replaced name stay: they are other items.
    for (const ExistingItem& old : *existing) {
        bool replaced = false;
        for (const ResEntry* entry : chosen) replaced = replaced || SameItem(old, *entry);
        if (replaced) {
            log.Line(L"merge-delete", Describe(old.type, old.name, old.language) + L": replaced");
        } else if (keepOthers) {
            written.push_back({old.type, old.name, old.language, old.data});
        }
    }
    for (const ResEntry* entry : chosen) written.push_back({entry->type, entry->name, entry->language, entry->data});
    if (WriteWithItems(src, dst, written, L"merge-error", log, report) != 0) return 2;
    log.Line(L"merge-result", std::to_wstring(chosen.size()) + L" resource(s) merged");
    for (const ResEntry* entry : chosen) {
        report.Item(verb == MergeVerb::AddSkip ? ItemDone::Added : ItemDone::Modified, entry->type, entry->name,
                    entry->language);
    }
    if (!keepOthers) {
        log.Line(L"merge-result",
                 L"fault merge-drop-others: only the " + std::to_wstring(chosen.size()) + L" merged resource(s) kept");
    }
    return 0;
}

int RunDelete(const std::wstring& src, const std::wstring& dst, const ResourceMask& mask, const Log& log,
              RunLog& report) {
    log.Line(L"delete", L"src=[" + src + L"] dst=[" + dst + L"] mask=[" + mask.text + L"]");
    const auto existing = ItemsOf(src, L"delete-error", log, report);
    if (!existing) return 2;
    std::vector<NewItem> kept;
    std::vector<const ExistingItem*> removed;
    for (const ExistingItem& item : *existing) {
        if (item.type.SameAs(mask.type) && item.name.SameAs(mask.name) && item.language == mask.language) {
            log.Line(L"delete-item", Describe(item.type, item.name, item.language) + L": removed");
            removed.push_back(&item);
        } else {
            kept.push_back({item.type, item.name, item.language, item.data});
        }
    }
    if (removed.empty()) {
        log.Line(L"delete-result",
                 Describe(mask.type, mask.name, mask.language) + L" is not in the source; destination untouched");
        report.Error(L"No matching resource found.");
        return 1;
    }
    if (WriteWithItems(src, dst, kept, L"delete-error", log, report) != 0) return 2;
    log.Line(L"delete-result",
             std::to_wstring(removed.size()) + L" resource(s) deleted, " + std::to_wstring(kept.size()) + L" kept");
    for (const ExistingItem* item : removed) report.Item(ItemDone::Deleted, item->type, item->name, item->language);
    return 0;
}

}  // namespace standin
