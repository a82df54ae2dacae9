#include "press/PressPaths.h"

#include <optional>

#include "press/AnsiText.h"
#include "press/CommandLines.h"

namespace quillmark {

namespace {

std::optional<std::wstring> AnsiForm(Platform& platform, const std::wstring& path) {
    if (platform.FitsAnsiCodePage(path)) return path;
    if (const auto shortPath = platform.ShortPathName(path); shortPath && platform.FitsAnsiCodePage(*shortPath)) {
        return shortPath;
    }
    return std::nullopt;
}

std::size_t NameStart(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

// The folder part with its separator, the short form of the folder itself.
std::optional<std::wstring> AnsiFolderForm(Platform& platform, const std::wstring& folder) {
    if (folder.empty() || platform.FitsAnsiCodePage(folder)) return folder;
    const bool separated = folder.back() == L'\\' || folder.back() == L'/';
    const std::wstring bare = separated && folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
    const auto shortFolder = AnsiForm(platform, bare);
    if (!shortFolder) return std::nullopt;
    return bare.size() == folder.size() ? *shortFolder : *shortFolder + folder.back();
}

PathOutsideAnsi OutsideAnsi(Platform& platform, const std::wstring& path) {
    return {path, QuotedCharacters(CharactersOutsideAnsi(platform, path))};
}

}  // namespace

std::variant<TargetPath, PressStop> CheckTargetPath(const std::wstring& targetPath) {
    if (targetPath.find(L',') != std::wstring::npos) {
        return TargetPathRefused{TargetPathRefused::Why::Comma, targetPath};
    }
    const auto backup = BackupPathFor(targetPath);
    if (!backup) return TargetPathRefused{TargetPathRefused::Why::TooShortForBackup, targetPath};
    return TargetPath{targetPath, *backup};
}

std::variant<PressPaths, PressStop> PressPathsFor(Platform& platform, const std::wstring& editorPath,
                                                  const std::wstring& programFolder, const TargetPath& checked) {
    const std::wstring& targetPath = checked.target;
    const std::wstring resourcePath = programFolder + kInitialResName;
    const auto editor = AnsiForm(platform, editorPath);
    if (!editor) return OutsideAnsi(platform, editorPath);
    const auto resource = AnsiForm(platform, resourcePath);
    if (!resource) return OutsideAnsi(platform, resourcePath);
    const auto target = AnsiForm(platform, targetPath);
    if (!target) return OutsideAnsi(platform, targetPath);

    std::wstring backup = checked.backup;
    const std::wstring folder = backup.substr(0, NameStart(backup));
    std::wstring name = backup.substr(folder.size());
    if (!platform.FitsAnsiCodePage(name)) {
        // Named after the target's short name, in the same folder.
        const std::wstring shortName = target->substr(NameStart(*target));
        name = BackupPathFor(shortName).value_or(shortName + L"_original.exe");
        if (!platform.FitsAnsiCodePage(name)) return OutsideAnsi(platform, backup);
        backup = folder + name;
    }
    const auto backupFolder = AnsiFolderForm(platform, folder);
    if (!backupFolder) return OutsideAnsi(platform, backup);
    // The editor names the work file by the form it is given and Quillmark
    // reads it by the long one: one name serves both, in the target's folder.
    std::wstring workName = targetPath.substr(NameStart(targetPath));
    if (!platform.FitsAnsiCodePage(workName)) workName = target->substr(NameStart(*target));
    return PressPaths{editorPath,
                      targetPath,
                      backup,
                      folder + workName,
                      {Quoted(*editor), Quoted(*resource), *target, *backupFolder + name, *backupFolder + workName}};
}

}  // namespace quillmark
