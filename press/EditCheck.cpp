#include "press/EditCheck.h"

#include <algorithm>

#include "press/AnsiText.h"
#include "press/FileChecks.h"
#include "press/PressMessages.h"
#include "verify/Comparison.h"
#include "verify/ResFile.h"
#include "verify/VersionInfo.h"

namespace quillmark {

namespace {

// initial.res holds one small resource; anything this large is not it.
constexpr std::uint64_t kLargestResourceFile = 16 * 1024 * 1024;

// The version resource the merge will take: the one named 1, else the first.
const verify::ResItem* VersionItem(const std::vector<verify::ResItem>& items) {
    const verify::ResItem* first = nullptr;
    for (const verify::ResItem& item : items) {
        if (item.type.ordinal != verify::kRtVersion) continue;
        if (item.name.ordinal == 1) return &item;
        if (first == nullptr) first = &item;
    }
    return first;
}

bool HoldsScriptSpecials(const verify::ExpectedVersion& expected) {
    return std::any_of(expected.strings.begin(), expected.strings.end(),
                       [](const auto& string) { return string.second.find_first_of(L"\"\\") != std::wstring::npos; });
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
        return EditedResourceUnreadable{resPath, failure->error};
    }
    const auto& bytes = std::get<std::vector<std::uint8_t>>(read);
    const auto items = verify::ReadResFile(bytes);
    const verify::ResItem* version = items ? VersionItem(*items) : nullptr;
    const auto info =
        version ? verify::ReadVersionInfo(verify::Bytes(bytes).subspan(version->data.offset, version->data.length))
                : std::nullopt;

    std::vector<std::wstring> lines;
    if (!info) {
        lines.push_back(NoResourceFileLine());
    } else {
        for (const verify::Difference& difference :
             verify::Compare(expected, verify::ValuesOf(*info, expected.stringTable, expected.Keys()))) {
            lines.push_back(DifferenceLine(difference));
        }
    }
    if (!lines.empty()) {
        return EditedResourceDiffers{resPath, lines, HoldsScriptSpecials(expected),
                                     TypedOutsideAnsi(platform, expected)};
    }
    return EditedResource{version->language};
}

}  // namespace quillmark
