#include "script/ScriptFilling.h"

#include "script/ReplaceFirst.h"
#include "script/VersionScriptTemplate.h"

namespace quillmark {

std::wstring FillVersionScript(const std::wstring& versionScriptTemplate, const FieldValues& fields,
                               const VersionTable& versions) {
    std::wstring script = versionScriptTemplate;
    for (std::size_t f = 0; f < fields.captions.size(); ++f) {
        const std::wstring placeholder = L"(" + fields.captions[f] + L")";
        if (f == 6) {
            script = ReplaceFirst(script, placeholder, VersionText(versions[0]));
            script = ReplaceFirst(script, kFileVersionLinePlaceholder, VersionLine(L"FILEVERSION ", versions[0]));
        } else if (f == 7) {
            script = ReplaceFirst(script, placeholder, VersionText(versions[1]));
            script = ReplaceFirst(script, kProductVersionLinePlaceholder, VersionLine(L"PRODUCTVERSION ", versions[1]));
        } else {
            script = ReplaceFirst(script, placeholder, fields.texts[f]);
        }
    }
    return script;
}

}  // namespace quillmark
