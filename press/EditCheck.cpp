#include "press/EditCheck.h"

#include <algorithm>

#include "press/AnsiText.h"
#include "press/FileChecks.h"
#include "press/InitialRes.h"
#include "script/ScriptFilling.h"
#include "verify/Comparison.h"
#include "verify/VersionResFile.h"

namespace quillmark {

namespace {

bool HoldsScriptSpecials(const verify::ExpectedVersion& expected) {
    return std::any_of(expected.strings.begin(), expected.strings.end(),
                       [](const auto& string) { return HoldsScriptSpecial(string.second); });
}

// What an editor built for the ANSI code page cannot have been given.
std::wstring TypedOutsideAnsi(Platform& platform, const verify::ExpectedVersion& expected) {
    std::wstring typed;
    for (const auto& string : expected.strings) typed += string.second;
    return QuotedCharacters(CharactersOutsideAnsi(platform, typed));
}

}  // namespace

std::variant<EditedResource, PressStop> CheckEditedResource(Platform& platform, const std::wstring& resPath,
                                                            const verify::ExpectedVersion& expected) {
    const auto read = ReadWholeFile(platform, resPath, kLargestResourceFile);
    if (const auto* failure = std::get_if<ReadFailure>(&read)) {
        return EditedResourceUnreadable{resPath, *failure};
    }
    const auto version = verify::ReadVersionResFile(std::get<std::vector<std::uint8_t>>(read));
    if (const auto* fault = std::get_if<verify::ResFileFault>(&version)) return EditedResourceBroken{resPath, *fault};
    const verify::ResFileVersion& saved = std::get<verify::ResFileVersion>(version);

    std::vector<Finding> findings;
    for (verify::Difference& difference :
         verify::Compare(expected, verify::ValuesOf(saved.info, expected.stringTable, expected.Keys()))) {
        findings.push_back(std::move(difference));
    }
    if (!findings.empty()) {
        return EditedResourceDiffers{resPath, std::move(findings), HoldsScriptSpecials(expected),
                                     TypedOutsideAnsi(platform, expected)};
    }
    return EditedResource{saved.language};
}

}  // namespace quillmark
