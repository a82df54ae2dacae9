#include "press/InitialRes.h"

#include "platform/FileFound.h"
#include "press/FileChecks.h"
#include "settings/SettingsLayout.h"
#include "settings/SettingsRestore.h"

namespace quillmark {

std::optional<InitialResProblem> CheckInitialRes(Platform& platform, const std::wstring& programFolderPath) {
    const std::wstring path = programFolderPath + kInitialResName;
    if (!FoundAtStartUp(platform, path)) return InitialResProblem{InitialResProblem::Kind::Missing, path, {}, {}};
    const auto read = ReadWholeFile(platform, path, kLargestResourceFile);
    if (const auto* failure = std::get_if<ReadFailure>(&read)) {
        return InitialResProblem{InitialResProblem::Kind::Unreadable, path, *failure, {}};
    }
    const auto version = verify::ReadVersionResFile(std::get<std::vector<std::uint8_t>>(read));
    if (const auto* fault = std::get_if<verify::ResFileFault>(&version)) {
        return InitialResProblem{InitialResProblem::Kind::Broken, path, {}, *fault};
    }
    return std::nullopt;
}

std::variant<InitialResBefore, PressStop> KeepInitialRes(Platform& platform, const std::wstring& path) {
    if (!NormalFileFound(platform, path)) return InitialResBefore{path, std::nullopt};
    auto read = ReadWholeFile(platform, path, kLargestResourceFile);
    if (const auto* failure = std::get_if<ReadFailure>(&read)) return InitialResNotKept{path, *failure};
    return InitialResBefore{path, std::move(std::get<std::vector<std::uint8_t>>(read))};
}

InitialResPutBack PutInitialResBack(Platform& platform, const InitialResBefore& before) {
    using Kind = InitialResPutBack::Kind;
    if (!before.bytes) {
        // One that was missing stays missing.
        if (!NormalFileFound(platform, before.path)) return {Kind::Unchanged, before.path, {}};
        if (const OpResult removed = platform.RemoveFile(before.path); !removed.ok) {
            return {Kind::Failed, before.path, ReadFailure{removed.error}};
        }
        return {Kind::Removed, before.path, {}};
    }
    const auto now = ReadWholeFile(platform, before.path, kLargestResourceFile);
    if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&now); bytes && *bytes == *before.bytes) {
        return {Kind::Unchanged, before.path, {}};
    }
    if (const OpResult written = platform.WriteWholeFile(before.path, *before.bytes); !written.ok) {
        return {Kind::Failed, before.path, ReadFailure{written.error}};
    }
    const auto back = ReadWholeFile(platform, before.path, kLargestResourceFile);
    if (const auto* failure = std::get_if<ReadFailure>(&back)) return {Kind::Failed, before.path, *failure};
    if (std::get<std::vector<std::uint8_t>>(back) != *before.bytes) return {Kind::Failed, before.path, {}, true};
    return {Kind::PutBack, before.path, {}};
}

}  // namespace quillmark
