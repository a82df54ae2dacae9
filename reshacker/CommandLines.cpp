#include "reshacker/CommandLines.h"

namespace quillmark {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring QuotedResourcePath(const std::wstring& programFolder) { return Quoted(programFolder + kInitialResName); }

std::wstring InteractiveCommandLine(const std::wstring& quotedEditorPath, const std::wstring& quotedResourcePath) {
    return quotedEditorPath + L" " + quotedResourcePath;
}

std::optional<std::wstring> BackupPathFor(const std::wstring& targetPath) {
    if (targetPath.size() < 4) {
        return std::nullopt;
    }
    return targetPath.substr(0, targetPath.size() - 4) + L"_original.exe";
}

std::wstring MergeCommandLine(const std::wstring& quotedEditorPath, const std::wstring& verb,
                              const std::wstring& backupPath, const std::wstring& targetPath,
                              const std::wstring& quotedResourcePath) {
    return quotedEditorPath + L" " + verb + backupPath + L", " + targetPath + L", " + quotedResourcePath + L" ,,,";
}

}  // namespace quillmark
