#include "press/EditorRuns.h"

namespace quillmark {

RunEnd GiveUpEditorRun(Platform& platform, std::uintptr_t process, RunEnd givenUp) {
    // A run left going could still write its files after the message.
    const bool ended = platform.EndStartedProcess(process);
    platform.ReleaseProcess(process);
    givenUp.kind = ended ? RunEnd::Kind::EndedByUs : RunEnd::Kind::StillRunning;
    return givenUp;
}

RunEnd AwaitEditorRun(Platform& platform, std::uintptr_t process, int timeoutMs, EditorRun run) {
    const WaitOutcome outcome = platform.WaitForExit(process, timeoutMs);
    if (outcome == WaitOutcome::Done) {
        const std::optional<std::uint32_t> exitCode = platform.ExitCode(process);
        platform.ReleaseProcess(process);
        return {RunEnd::Kind::Exited, run, false, outcome, timeoutMs, exitCode};
    }
    return GiveUpEditorRun(platform, process, {RunEnd::Kind::Exited, run, false, outcome, timeoutMs, std::nullopt});
}

}  // namespace quillmark
