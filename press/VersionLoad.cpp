#include "press/VersionLoad.h"

#include "platform/FileFound.h"
#include "press/AnsiText.h"
#include "press/FileChecks.h"
#include "script/ScriptFilling.h"
#include "script/VersionBoxes.h"

namespace quillmark {

namespace {

constexpr std::array<int, 2> kVersionFields{kFileVersionField, kProductVersionField};

// A one-line box holds no line break: each one becomes a blank.
std::wstring OnOneLine(const std::wstring& text) {
    std::wstring line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            line.push_back(L' ');
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            line.push_back(text[i]);
        }
    }
    return line;
}

bool Fits(const std::array<std::uint16_t, 4>& version) {
    for (std::size_t i = 0; i < version.size(); ++i) {
        if (version[i] < kVersionRanges[i].low || version[i] > kVersionRanges[i].high) return false;
    }
    return true;
}

std::wstring JoinedBoxes(const FieldTexts& texts, int row) {
    std::wstring joined;
    for (std::size_t b = 0; b < VersionBoxes().size(); ++b) {
        if (VersionBoxes()[b].row == row) joined += (joined.empty() ? L"" : L".") + texts.versionBoxes[b];
    }
    return joined;
}

void LoadString(Platform& platform, int field, const std::wstring& fromFile, const FieldTexts& now, VersionLoad& load) {
    const auto f = static_cast<std::size_t>(field);
    const std::wstring value = OnOneLine(fromFile);
    load.loaded.strings[f] = value;
    if (value != now.strings[f]) load.changes.push_back({field, value, now.strings[f]});
    if (value != fromFile) load.caveats.push_back({field, ValueCaveat::Why::LineBreak, {}});
    if (HoldsScriptSpecial(value)) {
        load.caveats.push_back({field, ValueCaveat::Why::ScriptSpecial, {}});
    }
    if (const auto outside = CharactersOutsideAnsi(platform, value); !outside.empty()) {
        load.caveats.push_back({field, ValueCaveat::Why::OutsideAnsi, outside});
    }
}

void LoadRow(Platform& platform, int row, const std::optional<std::array<std::uint16_t, 4>>& version,
             const FieldTexts& now, VersionLoad& load) {
    const int field = kVersionFields[static_cast<std::size_t>(row)];
    if (!version || !Fits(*version)) {
        load.rowsKept.push_back({field, version});
        return;
    }
    bool changed = false;
    for (std::size_t b = 0; b < VersionBoxes().size(); ++b) {
        const VersionBox& box = VersionBoxes()[b];
        if (box.row != row) continue;
        const std::uint16_t value = (*version)[static_cast<std::size_t>(box.column)];
        load.loaded.versionBoxes[b] = std::to_wstring(value);
        const auto current = platform.TextToLong(now.versionBoxes[b]);
        changed = changed || !current || *current != value;
    }
    if (changed) load.changes.push_back({field, JoinedBoxes(load.loaded, row), JoinedBoxes(now, row)});
}

}  // namespace

std::variant<verify::VersionInfo, NothingToLoad> ReadTargetVersion(Platform& platform, const std::wstring& path) {
    const auto nothing = [&](NothingToLoad::Why why) { return NothingToLoad{why, path, {}, {}}; };
    if (path.empty() || !NormalFileFound(platform, path)) return nothing(NothingToLoad::Why::NoFile);
    const PeFileReading reading = ReadPeFile(platform, path);
    if (const auto* failure = std::get_if<ReadFailure>(&reading)) {
        return NothingToLoad{NothingToLoad::Why::Unreadable, path, failure->error, {}};
    }
    if (const auto* notProgram = std::get_if<verify::NotAProgram>(&reading)) {
        return NothingToLoad{NothingToLoad::Why::NotAProgram, path, {}, notProgram->reason};
    }
    const VersionBlockRead read = platform.ReadShownVersionBlock(path);
    if (!read.status.ok) return NothingToLoad{NothingToLoad::Why::Unreadable, path, read.status.error, {}};
    if (read.block.empty()) return nothing(NothingToLoad::Why::NoVersionInfo);
    if (verify::LayoutOf(read.block) == verify::VersionLayout::Ansi16) {
        return nothing(NothingToLoad::Why::SixteenBit);
    }
    auto info = verify::ReadVersionInfo(read.block);
    if (!info) return nothing(NothingToLoad::Why::NoVersionInfo);
    return std::move(*info);
}

VersionLoad PlanVersionLoad(Platform& platform, const verify::VersionInfo& info, const FieldTexts& now) {
    VersionLoad load;
    load.loaded = now;
    const verify::StringTable* table = verify::ShownStringTable(info);
    for (const FieldSpec& field : FieldTable()) {
        if (IsVersionField(field.index)) {
            const int row = field.index == kFileVersionField ? 0 : 1;
            std::optional<std::array<std::uint16_t, 4>> version;
            if (info.fixed) version = row == 0 ? info.fixed->file : info.fixed->product;
            LoadRow(platform, row, version, now, load);
            continue;
        }
        const verify::VersionValues values =
            table ? verify::ValuesOf(info, table->key, {field.keyName}) : verify::VersionValues{};
        const std::wstring fromFile = values.strings.empty() ? L"" : values.strings[0].value_or(L"");
        LoadString(platform, field.index, fromFile, now, load);
    }
    return load;
}

}  // namespace quillmark
