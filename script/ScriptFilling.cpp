#include "script/ScriptFilling.h"

#include <array>

#include "script/ReplaceFirst.h"
#include "script/VersionScriptTemplate.h"

namespace quillmark {

bool HoldsScriptSpecial(const std::wstring& value) { return value.find_first_of(L"\"\\") != std::wstring::npos; }

namespace {

// Fields 6 and 7 are the two version rows; each fills its string value and
// then the version line of the fixed part.
constexpr std::size_t kFirstVersionField = 6;

struct VersionLineSpec {
    const wchar_t* placeholder;
    const wchar_t* keyword;
};

constexpr std::array<VersionLineSpec, 2> kVersionLines{{
    {kFileVersionLinePlaceholder, L"FILEVERSION "},
    {kProductVersionLinePlaceholder, L"PRODUCTVERSION "},
}};

}  // namespace

std::wstring FillVersionScript(const std::wstring& versionScriptTemplate, const FieldValues& fields,
                               const VersionTable& versions) {
    std::wstring script = versionScriptTemplate;
    for (std::size_t f = 0; f < fields.captions.size(); ++f) {
        const std::wstring placeholder = L"(" + fields.captions[f] + L")";
        if (f >= kFirstVersionField && f < kFirstVersionField + versions.size()) {
            const std::size_t row = f - kFirstVersionField;
            script = ReplaceFirst(script, placeholder, VersionText(versions[row]));
            script = ReplaceFirst(script, kVersionLines[row].placeholder,
                                  VersionLine(kVersionLines[row].keyword, versions[row]));
        } else {
            script = ReplaceFirst(script, placeholder, fields.texts[f]);
        }
    }
    return script;
}

}  // namespace quillmark
