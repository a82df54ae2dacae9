#include "settings/SettingsRestore.h"

#include "platform/FileFound.h"
#include "settings/SettingsLayout.h"
#include "ui/FieldTable.h"

namespace quillmark {

namespace {

// A stored path whose file name is shorter is not restored, and the editor's
// is reported missing at start-up.
constexpr std::size_t kStartUpMinNameLength = 3;

void FillFirstRunValues(Platform& platform) {
    platform.SetText({L"txtResHack"}, kPathPlaceholder);
    platform.SetText({L"txtExe"}, kPathPlaceholder);
    for (const FieldSpec& field : FieldTable()) {
        if (!IsVersionField(field.index)) {
            platform.SetText({L"txtInfo", field.index}, platform.GetText({L"lblInfo", field.index}));
        }
    }
}

void RestoreFromFile(Platform& platform, inifile_IO& settings) {
    std::wstring path = settings.ReadStr(kFilesSection, kResHackerKey, L"");
    if (!FoundAtStartUp(platform, path)) {
        platform.MessageBox(L"ResHacker(" + path + L")が見つかりません。", platform.AppTitle(), Severity::Warning);
        path = kPathPlaceholder;
    }
    platform.SetText({L"txtResHack"}, path);

    path = settings.ReadStr(kFilesSection, kLastExeFileKey, L"");
    if (!FoundAtStartUp(platform, path)) {
        path = kPathPlaceholder;
    }
    platform.SetText({L"txtExe"}, path);

    for (const FieldSpec& field : FieldTable()) {
        if (IsVersionField(field.index)) {
            const VersionBoxTexts texts = UnpackVersion(
                platform, settings.ReadStr(kVerInfoSection, VerInfoKey(field.index), kDefaultPackedVersion));
            for (int box = 0; box < 3; ++box) {
                platform.SetText({field.inputName, box}, texts[static_cast<std::size_t>(box)]);
            }
        } else {
            platform.SetText({L"txtInfo", field.index},
                             settings.ReadStr(kVerInfoSection, VerInfoKey(field.index), L""));
        }
    }
}

}  // namespace

std::wstring ProgramFolderPath(const std::wstring& reportedFolder) {
    if (!reportedFolder.empty() && reportedFolder.back() == L'\\') {
        return reportedFolder;
    }
    return reportedFolder + L"\\";
}

bool FoundAtStartUp(Platform& platform, const std::wstring& path) {
    return NormalFileFound(platform, path, kStartUpMinNameLength);
}

void RestoreSettings(Platform& platform, inifile_IO& settings) {
    if (FoundAtStartUp(platform, settings.FileName())) {
        RestoreFromFile(platform, settings);
    } else {
        FillFirstRunValues(platform);
    }
}

}  // namespace quillmark
