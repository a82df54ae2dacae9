#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"
#include "ui/FieldTable.h"
#include "verify/PeImage.h"
#include "verify/VersionInfo.h"

namespace quillmark {

// The fields as the window holds them: the eight strings by field index
// (the two version indexes unused) and the six version boxes in the order
// of VersionBoxes().
struct FieldTexts {
    std::array<std::wstring, kFieldCount> strings;
    std::array<std::wstring, 6> versionBoxes;
};

// Why a file gives the fields nothing.
struct NothingToLoad {
    enum class Why { NoFile, Unreadable, NotAProgram, NoVersionInfo, SixteenBit };
    Why why = Why::NoFile;
    std::wstring path;
    std::wstring reason;  // the system's, for Unreadable
    verify::NotProgramReason notProgram = verify::NotProgramReason::NoMzHeader;
};

// The version information the Properties sheet shows this user.
std::variant<verify::VersionInfo, NothingToLoad> ReadTargetVersion(Platform& platform, const std::wstring& path);

// A string that a press would not carry as it stands.
struct ValueCaveat {
    enum class Why { ScriptSpecial, OutsideAnsi, LineBreak };
    int field = 0;
    Why why = Why::ScriptSpecial;
    std::vector<std::wstring> characters;  // for OutsideAnsi, each once, in order of first use
};

// A version row whose boxes stay as they are; nothing when the file has no
// fixed part.
struct RowKept {
    int field = kFileVersionField;
    std::optional<std::array<std::uint16_t, 4>> version;
};

// A field whose value loading would change, as the question shows it.
struct FieldChange {
    int field = 0;
    std::wstring fromFile;
    std::wstring now;
};

struct VersionLoad {
    FieldTexts loaded;  // the fields after loading
    std::vector<FieldChange> changes;
    std::vector<RowKept> rowsKept;
    std::vector<ValueCaveat> caveats;
};

// What loading the file's values into `now` would do: the strings of the
// shown table (a missing key gives an empty field, each line break a
// blank), and each fixed version whose third number is 0 and whose others
// fit the boxes.
VersionLoad PlanVersionLoad(Platform& platform, const verify::VersionInfo& info, const FieldTexts& now);

}  // namespace quillmark
