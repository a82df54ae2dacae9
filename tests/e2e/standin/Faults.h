#pragma once

#include <string>
#include <vector>

#include "Log.h"

namespace standin {

// Ways a test can make the stand-in misbehave (or, with keep-appended,
// behave better than Wine's resource updater lets it). The tool starts the
// editor itself, so they come from a file beside the exe, not from the
// command line.
struct Faults {
    bool mergeNothing = false;   // "merge-nothing": both merge verbs exit 0 and leave dst alone
    bool mergeTruncate = false;  // "merge-truncate": -modify cuts dst to half its size afterwards
    bool noSave = false;         // "no-save": the window's save command does nothing
    bool keepAppended = false;   // "keep-appended": a merge puts src's data after the image back after dst's
};

// One fault name a line; blank lines and lines starting with '#' are
// skipped, names it does not know go to `unknown`.
Faults ParseFaults(const std::wstring& text, std::vector<std::wstring>& unknown);

// ResHacker.faults beside the program, logged as one "faults" line; without
// the file there are no faults and no line.
Faults ReadFaults(const Log& log);

}  // namespace standin
