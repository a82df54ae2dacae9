#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Files.h"
#include "press/EditorRuns.h"
#include "press/FileChecks.h"
#include "press/Finding.h"
#include "verify/PeImage.h"
#include "verify/VersionResFile.h"

namespace quillmark {

// What ends a press, with what the messages need: what failed, the
// system's reason, and so what was not done.

// Before anything is touched.
struct ScriptUnbuildable {
    std::wstring line;
};
struct TargetPathRefused {
    enum class Why { Comma, TooShortForBackup };
    Why why = Why::Comma;
    std::wstring target;
};
// A path that no form gets to the editor unchanged, and its characters
// that the ANSI code page lacks.
struct PathOutsideAnsi {
    std::wstring path;
    std::wstring characters;
};
struct TargetUnreadable {
    std::wstring target;
    std::wstring reason;
};
struct TargetNotAProgram {
    std::wstring target;
    verify::NotProgramReason why = verify::NotProgramReason::NoMzHeader;
};
struct TargetNotWritable {
    std::wstring target;
    std::wstring reason;
};

// The interactive edit; the target is untouched.
// initial.res is there but could not be kept before the edit.
struct InitialResNotKept {
    std::wstring resPath;
    ReadFailure reason;
};
struct ClipboardRefused {
    enum class Step { Empty, SetText };
    Step step = Step::Empty;
    std::wstring reason;
};
struct EditorNotStarted {
    std::wstring editor;
    std::wstring reason;
};
// The editor's window never came, or it did not close after the keys.
struct EditorGivenUp {
    RunEnd end;
};
struct EditedResourceUnreadable {
    std::wstring resPath;
    ReadFailure reason;
};
// What the editor saved is no resource file with a version resource.
struct EditedResourceBroken {
    std::wstring resPath;
    verify::ResFileFault fault = verify::ResFileFault::NotAResourceFile;
};
struct EditedResourceDiffers {
    std::wstring resPath;
    std::vector<Finding> findings;
    bool typedScriptSpecials = false;
    std::wstring charactersOutsideAnsi;
};

// The backup and the merge runs.
struct BackupNotMade {
    std::wstring target;
    std::wstring backup;
    std::wstring reason;
};
struct MergeNotStarted {
    EditorRun run = EditorRun::AddSkip;
    std::wstring backup;
    std::wstring reason;
};
// It may still write the target: reading it back now proves nothing.
struct MergeStillRunning {
    RunEnd end;
    std::wstring backup;
};
// A merge run was ended and the target is still the original.
struct RunEndedUnchanged {
    RunEnd end;
    std::wstring target;
    std::wstring backup;
};

// Removing the version resources left in other languages. Each is said
// only once the target is known to be as the merge left it.
struct DeleteFailed {
    enum class Step { Start, Run, ExitCode, EditorError, WorkFileWrong, Replace };
    Step step = Step::Start;
    std::wstring target;
    std::wstring backup;
    std::wstring reason;            // the system's, for Start and Replace
    RunEnd end;                     // for Run and ExitCode
    std::wstring workFile;          // for WorkFileWrong
    std::vector<Finding> findings;  // what differs in it, for WorkFileWrong
    // The target could not be compared with what the merge left: how it
    // reads now instead.
    bool uncompared = false;
    bool readsRight = false;  // but for the other languages
    std::vector<Finding> readBack{};
};
// A work file of an earlier press stays in the way; no run was started.
struct WorkFileInTheWay {
    std::wstring workFile;
    std::wstring reason;
    std::wstring target;
    std::wstring backup;
};
// The replacement took the target from its name but could not put the work
// file there: the work file holds the result.
struct TargetLeftInWorkFile {
    std::wstring target;
    std::wstring workFile;
    std::wstring backup;
    std::wstring reason;
};

// Putting the backup back when asked for: no backup of this target.
struct BackupMissing {
    std::wstring target;
    std::wstring backup;
};

using PressStop = std::variant<ScriptUnbuildable, TargetPathRefused, PathOutsideAnsi, TargetUnreadable,
                               TargetNotAProgram, TargetNotWritable, InitialResNotKept, ClipboardRefused,
                               EditorNotStarted, EditorGivenUp, EditedResourceUnreadable, EditedResourceBroken,
                               EditedResourceDiffers, BackupNotMade, MergeNotStarted, MergeStillRunning,
                               RunEndedUnchanged, DeleteFailed, WorkFileInTheWay, TargetLeftInWorkFile, BackupMissing>;

// How initial.res was put back after a press that stopped once the edit
// had begun; said with that stop.
struct InitialResPutBack {
    enum class Kind {
        Unchanged,  // the editor left it as it was: nothing to say
        PutBack,    // its bytes as they were before the press
        Removed,    // there was none before, and the one the editor wrote is gone
        Failed,
        NotWhileRunning,  // the editor could not be ended and may still write it
    };
    Kind kind = Kind::Unchanged;
    std::wstring path;
    ReadFailure reason;           // the system's, when Failed
    bool writtenDiffers = false;  // written, but reads back otherwise
};

// What the user is told on the way, without the press ending there.
struct RunEndedButRight {
    RunEnd end;
    std::wstring target;
    std::wstring backup;
};
struct Restored {
    std::wstring target;
    std::wstring backup;
};
struct RestoreFailed {
    // Where the target is now.
    enum class Left {
        AsItWas,    // untouched
        AsItIsNow,  // replaced, but not proven to be the backup
        InCopy,     // gone from its name; the backup's copy holds what it should
    };
    std::wstring target;
    std::wstring backup;
    std::wstring reason;       // the system's
    bool copyDiffers = false;  // the copy went through but is not the backup
    Left left = Left::AsItWas;
    std::wstring copy;  // for InCopy
};
struct WorkFileLeft {
    std::wstring path;
    std::wstring reason;
};
// Paths given on the command line that name no file, and what they name.
struct UnusedArgument {
    std::wstring path;
    PathKind kind = PathKind::Missing;
};
struct ArgumentsUnused {
    std::vector<UnusedArgument> arguments;
};

using PressNotice = std::variant<RunEndedButRight, Restored, RestoreFailed, WorkFileLeft, ArgumentsUnused>;

// What the user is asked; Yes goes on.
struct SignedTarget {
    std::wstring target;
};
struct AppendedData {
    std::wstring target;
    std::uint64_t bytes = 0;
};
// The target is not what the press wrote: put the backup back?
struct RestoreOffer {
    std::wstring target;
    std::wstring backup;
    std::vector<Finding> findings;
    std::optional<RunEnd> runEnded;  // a merge run that was ended, said first
    bool afterDelete = false;        // the removal of other languages went wrong
};
struct OtherLanguages {
    std::wstring target;
    std::wstring backup;
    std::vector<std::uint16_t> languages;
};

// Put the backup back, asked for from the system menu.
struct RestoreAsked {
    std::wstring target;
    std::wstring backup;
    std::optional<LocalTime> backupWritten;
};

using PressQuestion = std::variant<SignedTarget, AppendedData, RestoreOffer, OtherLanguages, RestoreAsked>;

}  // namespace quillmark
