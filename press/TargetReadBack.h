#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"
#include "press/Finding.h"
#include "press/PressStop.h"
#include "press/TargetPrecheck.h"
#include "verify/ScriptExpectation.h"

namespace quillmark {

// What a press did, for the read-back after its merge runs.
struct PressRecord {
    std::wstring targetPath;
    std::wstring backupPath;
    TargetBefore before;
    verify::ExpectedVersion expected;
    std::uint16_t language = 0;      // of the version resource in initial.res
    std::optional<RunEnd> runEnded;  // a merge run that was ended
};

// A file as it was: what a read-back compares the other resources and the
// appended data with.
struct Reference {
    std::wstring path;
    std::vector<verify::ByteRange> appended;
};

// What a read-back found: what differs, and what the file holds now.
struct Proof {
    std::vector<Finding> findings;
    std::vector<std::uint16_t> languages;  // of its version resource
    std::vector<verify::ByteRange> appended;
    // The languages of version resources other than the press's own.
    std::vector<std::uint16_t> LanguagesBut(std::uint16_t own) const;
};

// Reads `path` back as Windows does and compares it with what the press
// wrote, and everything else with `reference`.
Proof ProveFile(Platform& platform, const PressRecord& press, const std::wstring& path, const Reference& reference);

// The version resources in other languages that a right target still holds.
struct LeftoverVersions {
    std::vector<std::uint16_t> languages;
    std::vector<verify::ByteRange> appended;  // the target's, now
};

// A target read back right: what the user is told of it, and what remains
// of other languages.
struct TargetRight {
    std::optional<PressNotice> notice;  // after a merge run that was ended
    LeftoverVersions left;
};

using TargetAfter = std::variant<TargetRight, RestoreOffer, PressStop>;

// Reads the target back: right, or what differs with the offer to put the
// backup back, or the stop after a merge run that was ended before it
// changed anything.
TargetAfter CheckTargetAfterPress(Platform& platform, const PressRecord& press);

}  // namespace quillmark
