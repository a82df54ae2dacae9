#pragma once

#include <cstdint>
#include <variant>

#include "verify/Bytes.h"
#include "verify/VersionInfo.h"

namespace quillmark::verify {

// Why a resource file does not give the version resource it should hold.
enum class ResFileFault {
    NotAResourceFile,   // not a 32-bit .res, or cut short
    NoVersionResource,  // a resource file without one
    VersionUnreadable,  // one the version reader rejects
};

// The version resource a merge takes from the file: the one named 1, else
// the first.
struct ResFileVersion {
    std::uint16_t language = 0;
    VersionInfo info;
};

using ResFileVersionReading = std::variant<ResFileVersion, ResFileFault>;

// The one check of a resource file that should hold a version resource
// (initial.res), at start-up and after the editor has saved it.
ResFileVersionReading ReadVersionResFile(Bytes bytes);

}  // namespace quillmark::verify
