#include "reshacker/CommandLines.h"

#include <string_view>

namespace quillmark {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring QuotedResourcePath(const std::wstring& programFolder) { return Quoted(programFolder + kInitialResName); }

std::wstring InteractiveCommandLine(const std::wstring& quotedEditorPath, const std::wstring& quotedResourcePath) {
    return quotedEditorPath + L" " + quotedResourcePath;
}

std::optional<std::wstring> BackupPathFor(const std::wstring& targetPath) {
    constexpr std::size_t kCut = 4;
    if (targetPath.size() < kCut) {
        return std::nullopt;
    }
    // A name of three characters or fewer after its folder ("D:\Tools\ab")
    // would lose part of the folder and put the backup elsewhere: such a
    // name is kept whole.
    const std::wstring_view cut = std::wstring_view(targetPath).substr(targetPath.size() - kCut);
    const bool reachesFolder = cut.find_first_of(L"\\/:") != std::wstring_view::npos;
    return (reachesFolder ? targetPath : targetPath.substr(0, targetPath.size() - kCut)) + L"_original.exe";
}

std::wstring MergeCommandLine(const std::wstring& quotedEditorPath, const std::wstring& verb,
                              const std::wstring& backupPath, const std::wstring& targetPath,
                              const std::wstring& quotedResourcePath) {
    return quotedEditorPath + L" " + verb + backupPath + L", " + targetPath + L", " + quotedResourcePath + L" ,,,";
}

}  // namespace quillmark
