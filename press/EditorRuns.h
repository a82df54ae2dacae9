#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quillmark {

// How long a press waits for the editor before it gives up.
struct WaitLimits {
    int readyMs = 30000;
    int exitMs = 60000;
};

// How a run's window starts: the edit's shown and focused for the keys, the
// merges and deletes hidden.
inline constexpr int kShowNormalFocused = 1;
inline constexpr int kShowHidden = 0;

// The editor's runs of a press.
enum class EditorRun { Edit, AddSkip, Modify, Delete };

// How the wait for one editor run ended. No run of ours is left running
// unseen: one that outlives its bound is ended first.
struct RunEnd {
    enum class Kind { Exited, EndedByUs, StillRunning };
    Kind kind = Kind::Exited;
    EditorRun run = EditorRun::Edit;
    bool waitingForReady = false;          // for its window, before the keys
    WaitOutcome wait = WaitOutcome::Done;  // TimedOut or Failed when given up
    int timeoutMs = 0;
    std::optional<std::uint32_t> exitCode;  // of a run that exited, when the system tells

    bool Exited() const { return kind == Kind::Exited; }
};

// What the editor's log says of one hidden run. Its exit code says nothing
// (it exits with 0 after errors too); the log is its only account.
struct RunLog {
    enum class State {
        Read,          // rewritten by this run: its result lines
        Missing,       // no log where the editor writes it
        NotRewritten,  // the run left the log as it was
        OtherCommand,  // rewritten, but for another command line
        Unreadable,
    };
    EditorRun run = EditorRun::AddSkip;
    State state = State::Missing;
    std::vector<std::wstring> results;

    // An "Error:" line: the one result line known to mean a failure.
    bool ReportsError() const;
};

// Waits for a started process to end, ends it when it does not within the
// bound (or the wait fails), and lets go of it.
RunEnd AwaitEditorRun(Platform& platform, std::uintptr_t process, int timeoutMs, EditorRun run);

// Ends a started run that the press gives up on before it has finished,
// and lets go of it; `givenUp` says which wait gave up and how.
RunEnd GiveUpEditorRun(Platform& platform, std::uintptr_t process, RunEnd givenUp);

}  // namespace quillmark
