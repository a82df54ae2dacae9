#include "settings/SettingsSave.h"

#include "settings/SettingsLayout.h"
#include "ui/FieldTable.h"

namespace quillmark {

void SaveSettings(Platform& platform, inifile_IO& settings) {
    // A failed write changes nothing the user could act on at exit; the next
    // start restores what the file still holds.
    settings.WriteStr(kFilesSection, kResHackerKey, platform.GetText({L"txtResHack"}));
    settings.WriteStr(kFilesSection, kLastExeFileKey, platform.GetText({L"txtExe"}));
    for (const FieldSpec& field : FieldTable()) {
        if (IsVersionField(field.index)) {
            VersionBoxTexts texts;
            for (int box = 0; box < 3; ++box) {
                texts[static_cast<std::size_t>(box)] = platform.GetText({field.inputName, box});
            }
            if (const auto packed = PackVersion(platform, texts)) {
                settings.WriteStr(kVerInfoSection, VerInfoKey(field.index), *packed);
            }
        } else {
            settings.WriteStr(kVerInfoSection, VerInfoKey(field.index), platform.GetText({L"txtInfo", field.index}));
        }
    }
}

}  // namespace quillmark
