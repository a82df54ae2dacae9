#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "verify/Bytes.h"
#include "verify/PeImage.h"
#include "verify/ResFile.h"

namespace quillmark::verify {

// Why a program's resource tree cannot be read as Windows reads it.
enum class ResourceFault {
    DirectoryOutsideSections,  // the directory's RVA is in no section's raw data
    RunsPastItsBytes,          // a table, name or data entry past the directory's end
    Loops,                     // a table reached twice
    WrongShape,                // not type, name, language: a leaf too soon, a table too deep, a named language
    TooManyEntries,
    DataOutsideSections,  // an item's data is not inside one section's raw data
};

// The bytes given are the start of the directory only: read this many
// bytes of it (no more than PeFacts::resourceDirectory) and ask again.
struct NeedResourceBytes {
    std::uint64_t length;
};

using ResourceReading = std::variant<std::vector<ResItem>, ResourceFault, NeedResourceBytes>;

// Every item of a program's resource tree, by type, name and language, its
// data as a range of the file, in the tree's order. `directoryBytes` are
// the file's bytes at `facts.resourceDirectory`, or their start: the tables
// usually come first, so a first read of a few kilobytes most often does.
// No items when the program has no resource directory.
ResourceReading ReadResourceDirectory(Bytes directoryBytes, const PeFacts& facts);

}  // namespace quillmark::verify
