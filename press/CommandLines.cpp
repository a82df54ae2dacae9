#include "press/CommandLines.h"

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

std::wstring DeleteVersionCommandLine(const std::wstring& quotedEditorPath, const std::wstring& source,
                                      const std::wstring& destination, std::uint16_t name, std::uint16_t language) {
    return quotedEditorPath + L" " + kDeleteVerb + source + L", " + destination + L", VERSIONINFO," +
           std::to_wstring(name) + L"," + std::to_wstring(language);
}

std::wstring WorkFilePath(const std::wstring& targetPath, std::size_t n) {
    return targetPath + kWorkFileInfix + std::to_wstring(n) + L".exe";
}

std::wstring RestoreCopyPath(const std::wstring& targetPath) { return targetPath + L".quillmark-restore.exe"; }

std::wstring WorkFilePattern(const std::wstring& targetPath) { return targetPath + kWorkFileInfix + L"*.exe"; }

}  // namespace quillmark
