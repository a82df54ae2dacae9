#pragma once

#include <optional>
#include <string>
#include <vector>

namespace standin {

// Ways a test can make the stand-in misbehave (or, with keep-appended,
// behave better than Wine's resource updater lets it). The tool starts the
// editor itself, so they come from a file beside the exe, not from the
// command line.
struct Faults {
    bool mergeNothing = false;     // "merge-nothing": both merge verbs exit 0 and leave dst alone
    bool mergeTruncate = false;    // "merge-truncate": -modify cuts dst to half its size afterwards
    bool noSave = false;           // "no-save": the window's save command does nothing
    bool keepAppended = false;     // "keep-appended": a merge puts src's data after the image back after dst's
    bool mergeHang = false;        // "merge-hang": -modify never ends and leaves dst alone
    bool mergeDropOthers = false;  // "merge-drop-others": a merge that writes keeps only the items it took
    bool ansi = false;             // "ansi": command line and pasted text pass through the ANSI code page
    bool deleteExit1 = false;      // "delete-exit-1": with exit-codes, -delete writes its output and exits 1
    bool exitCodes = false;        // "exit-codes": exit 1 for nothing to do, 2 for an error, not always 0
    bool compileEmpties = false;   // "compile-empties": the window's compile empties the tree and the script
    bool addskipInvisible =
        false;  // "addskip-invisible": -addskip appends its section after src's image, headers untouched
    bool addskipStaleSize = false;  // "addskip-stale-size": -addskip leaves the resource directory's old size
};

struct FaultsRead {
    Faults faults;
    std::optional<std::wstring> logLine;  // the "faults" line; none without the file
};

// One fault name a line; blank lines and lines starting with '#' are
// skipped, names it does not know go to `unknown`.
Faults ParseFaults(const std::wstring& text, std::vector<std::wstring>& unknown);

// ResHacker.faults beside the program, with the text of its "faults" log
// line; without the file there are no faults and no line. The caller logs
// it, so that the command line, which the ansi fault changes, comes first.
FaultsRead ReadFaults();

}  // namespace standin
