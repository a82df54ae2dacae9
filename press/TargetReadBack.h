#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "press/TargetPrecheck.h"
#include "verify/ScriptExpectation.h"

namespace quillmark {

// What a press did, for the read-back after its merge runs.
struct PressRecord {
    std::wstring targetPath;
    std::wstring backupPath;
    TargetBefore before;
    verify::ExpectedVersion expected;
    std::uint16_t language = 0;  // of the version resource in initial.res
    std::wstring runEnded;       // a merge run that was ended: what happened
};

// A file as it was: what a read-back compares the other resources and the
// appended data with.
struct Reference {
    std::wstring path;
    std::vector<verify::ByteRange> appended;
};

// What a read-back found: the differences, in the messages' words, and what
// the file holds now.
struct Proof {
    std::vector<std::wstring> lines;
    std::vector<std::uint16_t> languages;  // of its version resource
    std::vector<verify::ByteRange> appended;
};

// Reads `path` back as Windows does and compares it with what the press
// wrote, and everything else with `reference`.
Proof ProveFile(Platform& platform, const PressRecord& press, const std::wstring& path, const Reference& reference);

// The version resources in other languages that a right target still holds.
struct LeftoverVersions {
    std::vector<std::uint16_t> languages;
    std::vector<verify::ByteRange> appended;  // the target's, now
};

// Reads the target back. When something differs it says what and offers to
// put the backup back; after a run that had to be ended it says what the
// target holds. The leftovers when the target is right; nothing when a
// message has been shown that ends the press.
std::optional<LeftoverVersions> CheckTargetAfterPress(Platform& platform, const PressRecord& press);

// The restore offer: what differs, the backup's name; Yes puts it back.
void OfferRestore(Platform& platform, const PressRecord& press, const std::vector<std::wstring>& lines,
                  const std::wstring& lead = {});

}  // namespace quillmark
