#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "press/FileChecks.h"
#include "verify/Comparison.h"
#include "verify/PeImage.h"

namespace quillmark {

// What a check found in a file, as facts: the messages word them where a
// stop, notice or question shows them.

// Version resources in languages other than the press's own.
struct LanguagesLeft {
    std::vector<std::uint16_t> languages;
};
struct VersionUnreadable {
    std::wstring error;
};
struct NoLongerProgram {
    verify::NotProgramReason reason = verify::NotProgramReason::NoMzHeader;
};
// No version resource in `language`; those in `present` are there.
struct VersionMissing {
    std::uint16_t language = 0;
    std::vector<std::uint16_t> present;
};
// The version API finds no version information.
struct NoShownVersion {};
struct TargetChangedDuringDelete {};
// The data after the image, by length before and now; of the same length,
// its bytes changed.
struct AppendedDataChanged {
    std::uint64_t before = 0;
    std::uint64_t after = 0;
};

using Finding =
    std::variant<verify::Difference, ResourceChange, ResourceReadStop, LanguagesLeft, ReadFailure, VersionUnreadable,
                 NoLongerProgram, VersionMissing, NoShownVersion, TargetChangedDuringDelete, AppendedDataChanged>;

}  // namespace quillmark
